// TTimer: a system timer of a form's window, raising OnTimer every Interval milliseconds while
// enabled. Its WM_TIMER messages go to the form, so a loop that waits on the form's messages sees
// them too.
#pragma once

#include "vcl/types.h"

#include <windows.h>

namespace vcl {

class TTimer : public TObject {
  public:
    explicit TTimer(HWND owner) : owner_(owner) {}
    ~TTimer() override { SetEnabled(false); }
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetInterval(UINT ms);
    UINT Interval() const { return interval_; }
    UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }

    TNotifyEvent OnTimer;
    void Tick() {
        if (enabled_ && OnTimer)
            OnTimer(this);
    }

  private:
    void Update();
    HWND owner_;
    bool enabled_ = false;
    UINT interval_ = 1000;
};

inline void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Update();
}

inline void TTimer::SetInterval(UINT ms) {
    interval_ = ms;
    Update();
}

inline void TTimer::Update() {
    if (!owner_)
        return;
    if (enabled_ && interval_ > 0)
        SetTimer(owner_, Id(), interval_, nullptr); // restarts the count
    else
        KillTimer(owner_, Id());
}

} // namespace vcl
