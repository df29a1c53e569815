#include "vcl/banner.h"

namespace vcl {

namespace {
const UINT kStepRequest = WM_APP + 0x51;
} // namespace

int FontHeightForSize(int size, int pixelsPerInch) {
    return -MulDiv(size, pixelsPerInch, 72);
}

TPMultiImage::TPMultiImage(TControl* parent) : TCustomControl(parent) {
    CreateHandle(OwnClass("TPMultiImage", CS_HREDRAW | CS_VREDRAW), WS_VISIBLE);
}

void TPMultiImage::StartScroll() {
    stepper_.Start(0, 0, false);
    if (ScrollText.empty()) {
        Invalidate();
        return;
    }
    ScrollText = ScrollStepper::WithTrailingBlank(ScrollText);
    SetText(ScrollText);

    HDC screen = GetDC(Handle());
    TFont font;
    font.Name = ScrollFont.Name;
    font.Height = FontHeightForSize(ScrollFont.Size, GetDeviceCaps(screen, LOGPIXELSY));
    font.Bold = ScrollFont.Bold;
    scrollHFont_ = MakeFont(font);
    HGDIOBJ old = SelectObject(screen, scrollHFont_.get());
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(screen, ScrollText.c_str(), static_cast<int>(ScrollText.size()), &extent);
    SelectObject(screen, old);
    ReleaseDC(Handle(), screen);

    RECT r = ClientRect();
    textTop_ = (r.bottom - extent.cy) / 2;
    stepper_.SetDelay(ScrollDelay);
    stepper_.Start(r.right, extent.cx, true);
    Invalidate();
}

void TPMultiImage::ScrollStep() {
    // Requests are counted here and carried to the window together by one message: a posted
    // message per request would cost a round trip to the window server each.
    if (pendingSteps_++ == 0)
        PostMessageA(Handle(), kStepRequest, 0, 0);
}

LRESULT TPMultiImage::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case kStepRequest: {
        bool moved = false;
        for (; pendingSteps_ > 0; --pendingSteps_)
            moved = stepper_.Step() || moved;
        if (moved)
            InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    }
    default:
        return TCustomControl::WndProc(msg, wp, lp);
    }
}

void TPMultiImage::Paint(HDC dc) {
    // Drawn off screen first, so that the moving text does not flicker.
    RECT r = ClientRect();
    HDC mem = CreateCompatibleDC(dc);
    Bitmap bmp(CreateCompatibleBitmap(dc, r.right > 0 ? r.right : 1, r.bottom > 0 ? r.bottom : 1));
    HGDIOBJ oldBmp = SelectObject(mem, bmp.get());
    Brush back(CreateSolidBrush(ColorToRGB(ScrollColor)));
    FillRect(mem, &r, back.get());
    if (stepper_.Scrolling() && scrollHFont_.get()) {
        HGDIOBJ oldFont = SelectObject(mem, scrollHFont_.get());
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, ColorToRGB(ScrollFont.Color));
        TextOutA(mem, stepper_.X(), textTop_, ScrollText.c_str(),
                 static_cast<int>(ScrollText.size()));
        SelectObject(mem, oldFont);
    }
    BitBlt(dc, 0, 0, r.right, r.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBmp);
    DeleteDC(mem);
}

} // namespace vcl
