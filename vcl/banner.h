// TPMultiImage, used for its scrolling message only: one line of text that moves from right to
// left without end, one pixel per (ScrollDelay + 1) step requests. It shows no picture.
#pragma once

#include "vcl/control.h"
#include "vcl/scroll_stepper.h"

#include <string>

namespace vcl {

struct TScrollFont {
    std::string Name = "Arial";
    int Size = 8; // points; a negative size is turned into a positive cell height
    bool Bold = false;
    TColor Color = clBlack;
};

class TPMultiImage : public TCustomControl {
  public:
    explicit TPMultiImage(TControl* parent);

    std::string ScrollText;
    TScrollFont ScrollFont;
    TColor ScrollColor = clBtnFace;
    int ScrollDelay = 0;

    // Stops any scrolling and, unless ScrollText is empty, starts the text at the right edge.
    void StartScroll();
    // Queues one step request to the banner's own window and returns at once; the window counts
    // the requests when it handles them.
    void ScrollStep();

    const ScrollStepper& Stepper() const { return stepper_; }
    int TextTop() const { return textTop_; }

  protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Paint(HDC dc) override;

  private:
    ScrollStepper stepper_;
    vcl::Font scrollHFont_;
    int textTop_ = 0;
    int pendingSteps_ = 0;
};

// The font height the library makes of a point size: -(size * pixels per inch / 72), rounded.
int FontHeightForSize(int size, int pixelsPerInch);

} // namespace vcl
