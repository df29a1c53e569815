// The glyphs of the Install and Cancel buttons: each a bitmap of two 16 x 16 images side by side,
// normal and disabled, on a transparent teal.
#pragma once

#include <windows.h>

namespace installer {

HBITMAP MakeInstallGlyph();
HBITMAP MakeCancelGlyph();

} // namespace installer
