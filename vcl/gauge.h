// TGauge: a horizontal bar with its percentage written across it. Progress is clamped to 0..100;
// the window text is the percentage as shown ("25%").
#pragma once

#include "vcl/control.h"

namespace vcl {

class TGauge : public TCustomControl {
  public:
    explicit TGauge(TControl* parent);
    void SetProgress(long progress);
    long Progress() const { return progress_; }
    void SetForeColor(TColor color);
    void SetBackColor(TColor color);

  protected:
    void Paint(HDC dc) override;

  private:
    long progress_ = 0;
    TColor foreColor_ = clBlack;
    TColor backColor_ = clWhite;
};

} // namespace vcl
