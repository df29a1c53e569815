#include "vcl/gdi.h"

namespace vcl {

COLORREF ColorToRGB(TColor color) {
    if (color & 0x80000000u)
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color;
}

Font MakeFont(const TFont& font) {
    return Font(CreateFontA(font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                            FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str()));
}

void TCanvas::FillRect(const RECT& r) {
    Brush brush(CreateSolidBrush(ColorToRGB(BrushColor)));
    ::FillRect(dc_, &r, brush.get());
}

} // namespace vcl
