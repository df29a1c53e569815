// The counting rules of the scrolling banner, free of any window: where the text stands, when a
// step request moves it, and when it starts again at the right edge.
#pragma once

#include <string>

namespace vcl {

class ScrollStepper {
  public:
    // A text that does not end in a blank gets one.
    static std::string WithTrailingBlank(const std::string& text);

    // Stops any scrolling; then, unless the text is empty, places its left edge at the right
    // edge of an area of the given width. The request count is not reset.
    void Start(int areaWidth, int textWidth, bool hasText);
    void Stop() { scrolling_ = false; }
    // One step request. Requests while nothing scrolls are ignored and not counted. Returns
    // true when the text moved (one pixel left, or back to the right edge).
    bool Step();

    void SetDelay(int delay) { delay_ = delay; }
    bool Scrolling() const { return scrolling_; }
    int X() const { return x_; }
    int Count() const { return count_; }

  private:
    int delay_ = 0;
    int count_ = 0;
    int x_ = 0;
    int areaWidth_ = 0;
    int textWidth_ = 0;
    bool scrolling_ = false;
};

} // namespace vcl
