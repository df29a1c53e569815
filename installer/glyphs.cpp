#include "installer/glyphs.h"

namespace installer {

namespace {

const COLORREF kTransparent = RGB(0, 128, 128);

// Draws the same strokes twice: in colour for the normal image, in grey for the disabled one.
template <class Strokes> HBITMAP TwoImageGlyph(COLORREF ink, Strokes strokes) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HBRUSH back = CreateSolidBrush(kTransparent);
    RECT all = {0, 0, 32, 16};
    FillRect(dc, &all, back);
    DeleteObject(back);
    for (int img = 0; img < 2; ++img) {
        HPEN pen = CreatePen(PS_SOLID, 2, img ? RGB(128, 128, 128) : ink);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        strokes(dc, img * 16);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    SelectObject(dc, oldBmp);
    DeleteDC(dc);
    return bmp;
}

} // namespace

HBITMAP MakeInstallGlyph() {
    return TwoImageGlyph(RGB(0, 128, 0), [](HDC dc, int x) {
        POINT tick[] = {{x + 2, 8}, {x + 6, 12}, {x + 13, 3}};
        Polyline(dc, tick, 3);
    });
}

HBITMAP MakeCancelGlyph() {
    return TwoImageGlyph(RGB(192, 0, 0), [](HDC dc, int x) {
        MoveToEx(dc, x + 3, 3, nullptr);
        LineTo(dc, x + 13, 13);
        MoveToEx(dc, x + 13, 3, nullptr);
        LineTo(dc, x + 3, 13);
    });
}

} // namespace installer
