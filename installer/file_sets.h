// The two file sets of the medium, in the order they are copied.
#pragma once

#include <array>

namespace installer {

constexpr std::array<const char*, 6> kProgramFileSet = {
    "VR2000.EXE", "VPREVIEW.EXE", "SKY32V3C.DLL", "VR2000.HLP", "VR2000.CNT", "UNINST.EXE"};

// The library of the banner component goes into the system folder; the others into the
// destination.
constexpr const char* kSystemFolderFile = "SKY32V3C.DLL";

constexpr std::array<const char*, 22> kTemplateFileSet = {
    "H002.VT2", "H003.VT2", "H005.VT2", "H014.VT2", "H015.VT2",  "H020.VT2", "H023.VT2", "H029.VT2",
    "H033.VT2", "H038.VT2", "H039.VT2", "V001.VT2", "V009.VT2",  "V011.VT2", "V012.VT2", "V013.VT2",
    "V014.VT2", "V016.VT2", "V018.VT2", "X003.VT2", "X0050.VT2", "X007.VT2"};

} // namespace installer
