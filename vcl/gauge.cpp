#include "vcl/gauge.h"

#include <string>

namespace vcl {

TGauge::TGauge(TControl* parent) : TCustomControl(parent) {
    CreateHandle(OwnClass("TGauge", CS_HREDRAW | CS_VREDRAW), WS_VISIBLE);
    SetProgress(0);
}

void TGauge::SetProgress(long progress) {
    progress_ = progress < 0 ? 0 : progress > 100 ? 100 : progress;
    SetText(std::to_string(progress_) + "%");
    Invalidate();
}

void TGauge::SetForeColor(TColor color) {
    foreColor_ = color;
    Invalidate();
}

void TGauge::SetBackColor(TColor color) {
    backColor_ = color;
    Invalidate();
}

void TGauge::Paint(HDC dc) {
    RECT r = ClientRect();
    RECT bar = r;
    bar.right = r.left + (r.right - r.left) * progress_ / 100;
    RECT rest = r;
    rest.left = bar.right;
    Brush fore(CreateSolidBrush(ColorToRGB(foreColor_)));
    Brush back(CreateSolidBrush(ColorToRGB(backColor_)));
    FillRect(dc, &bar, fore.get());
    FillRect(dc, &rest, back.get());

    // The text reads in the background colour over the bar and in the bar colour beside it.
    std::string text = Text();
    HGDIOBJ old = SelectObject(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    int saved = SaveDC(dc);
    IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
    SetTextColor(dc, ColorToRGB(backColor_));
    DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
    saved = SaveDC(dc);
    IntersectClipRect(dc, rest.left, rest.top, rest.right, rest.bottom);
    SetTextColor(dc, ColorToRGB(foreColor_));
    DrawTextA(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
    SelectObject(dc, old);
}

} // namespace vcl
