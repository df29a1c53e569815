#include "vcl/buttons.h"

#include "vcl/form.h"

namespace vcl {

TBitBtn::TBitBtn(TControl* parent, TBitBtnKind kind) : TControl(parent), kind_(kind) {
    CreateHandle("BUTTON", WS_VISIBLE | BS_OWNERDRAW);
    TabStop = true;
    if (kind_ == TBitBtnKind::bkClose)
        SetGlyph(MakeCloseGlyph());
}

void TBitBtn::SetGlyph(HBITMAP glyph) {
    glyph_.reset(glyph);
    Invalidate();
}

void TBitBtn::Click() {
    if (kind_ == TBitBtnKind::bkClose) {
        if (TForm* form = ParentForm())
            form->Close();
        return;
    }
    TControl::Click();
}

LRESULT TBitBtn::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Enter presses a focused button, as Space does.
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        Click();
        return 0;
    }
    if (msg == WM_GETDLGCODE)
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    return TControl::WndProc(msg, wp, lp);
}

bool TBitBtn::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && (HIWORD(wp) == BN_CLICKED || HIWORD(wp) == BN_DOUBLECLICKED)) {
        Click();
        result = 0;
        return true;
    }
    if (msg == WM_DRAWITEM) {
        Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    }
    return TControl::Reflected(msg, wp, lp, result);
}

void TBitBtn::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool disabled = item.itemState & ODS_DISABLED;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

    std::string caption = Text();
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    RECT textRect = {0, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), -1, &textRect, DT_CALCRECT | DT_SINGLELINE);
    int glyphW = 0, glyphH = 0;
    BITMAP bm = {};
    if (glyph_.get() && GetObjectA(glyph_.get(), sizeof bm, &bm)) {
        glyphW = bm.bmWidth / 2;
        glyphH = bm.bmHeight;
    }
    const int spacing = glyphW && !caption.empty() ? 4 : 0;
    const int total = glyphW + spacing + textRect.right;
    int x = (r.left + r.right - total) / 2 + (pressed ? 1 : 0);
    int cy = (r.top + r.bottom) / 2 + (pressed ? 1 : 0);
    if (glyphW) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ oldBmp = SelectObject(mem, glyph_.get());
        COLORREF transparent = GetPixel(mem, 0, glyphH - 1);
        TransparentBlt(dc, x, cy - glyphH / 2, glyphW, glyphH, mem, disabled ? glyphW : 0, 0,
                       glyphW, glyphH, transparent);
        SelectObject(mem, oldBmp);
        DeleteDC(mem);
        x += glyphW + spacing;
    }
    RECT t = {x, cy - textRect.bottom / 2, x + textRect.right,
              cy - textRect.bottom / 2 + textRect.bottom};
    SetBkMode(dc, TRANSPARENT);
    if (disabled) {
        OffsetRect(&t, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, caption.c_str(), -1, &t, DT_SINGLELINE);
        OffsetRect(&t, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextA(dc, caption.c_str(), -1, &t, DT_SINGLELINE);
    SelectObject(dc, oldFont);
    if (item.itemState & ODS_FOCUS) {
        RECT f = r;
        InflateRect(&f, -4, -4);
        DrawFocusRect(dc, &f);
    }
}

HBITMAP MakeCloseGlyph() {
    // A door standing open, in the spirit of the usual close glyph; the disabled image is grey.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    const COLORREF transparent = RGB(0, 128, 128);
    for (int img = 0; img < 2; ++img) {
        const int ox = img * 16;
        RECT all = {ox, 0, ox + 16, 16};
        HBRUSH bg = CreateSolidBrush(transparent);
        FillRect(dc, &all, bg);
        DeleteObject(bg);
        const COLORREF frame = img ? RGB(128, 128, 128) : RGB(0, 0, 0);
        const COLORREF door = img ? RGB(192, 192, 192) : RGB(128, 64, 0);
        HBRUSH fb = CreateSolidBrush(frame);
        RECT jamb = {ox + 3, 1, ox + 13, 15};
        FrameRect(dc, &jamb, fb);
        DeleteObject(fb);
        HBRUSH db = CreateSolidBrush(door);
        RECT leaf = {ox + 4, 2, ox + 9, 14};
        FillRect(dc, &leaf, db);
        DeleteObject(db);
        SetPixel(dc, ox + 8, 8, img ? RGB(255, 255, 255) : RGB(255, 255, 0));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

} // namespace vcl
