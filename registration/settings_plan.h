// The settings entries: their key and the paper-size table, whose texts are data of the
// application and are written character for character.
#pragma once

#include <array>

namespace registration {

// Below HKEY_LOCAL_MACHINE (the install path) and HKEY_CURRENT_USER (the paper table).
inline constexpr char kSettingsKey[] = "Software\\Halcyra\\Vorelle";
inline constexpr char kInstallPathValue[] = "InstallPath";
inline constexpr char kPaperSection[] = "PaperName";

struct PaperSize {
    const char* name;
    const char* data;
};

// In the order they are written.
inline constexpr std::array<PaperSize, 5> kPaperSizes{{
    {"Letter Portrait", "08.500 11.000 0 1.250 1.000 6 9.000 1 1 0.000 0.000"},
    {"Letter Landscape", "08.500 11.000 1 1.0 1.0 9 6.5 1 1 0.000 0.000"},
    {"A4 Portrait", "08.268 11.693 0 1.000 1.000 6.268 9.693 1 1 0.000 0.000"},
    {"A4 Landscape", "08.268 11.693 1 1.000 1.000 9.693 6.268 1 1 0.000 0.000"},
    {"Envelope #10", "04.125 9.500 1 0.250 0.250 9.000 3.625 1 1 0.000 0.000"},
}};

} // namespace registration
