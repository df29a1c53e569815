#include "vcl/scroll_stepper.h"

namespace vcl {

std::string ScrollStepper::WithTrailingBlank(const std::string& text) {
    if (text.empty() || text.back() == ' ')
        return text;
    return text + ' ';
}

void ScrollStepper::Start(int areaWidth, int textWidth, bool hasText) {
    scrolling_ = false;
    if (!hasText)
        return;
    areaWidth_ = areaWidth;
    textWidth_ = textWidth;
    x_ = areaWidth;
    scrolling_ = true;
}

bool ScrollStepper::Step() {
    if (!scrolling_)
        return false;
    if (++count_ <= delay_)
        return false;
    count_ = 0;
    --x_;
    if (x_ + textWidth_ < 0)
        x_ = areaWidth_;
    return true;
}

} // namespace vcl
