#include "vcl/application.h"

#include "vcl/dialogs.h"
#include "vcl/form.h"

#include <mmsystem.h>

#include <algorithm>

namespace vcl {

namespace {
TApplication g_application;
TScreen g_screen;
} // namespace

TApplication* const Application = &g_application;
TScreen* const Screen = &g_screen;

void TScreen::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    ::SetCursor(LoadCursorA(nullptr, cursor == crDefault ? IDC_ARROW : IDC_WAIT));
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
}

void TApplication::Adopt(std::unique_ptr<TForm> form) {
    if (!mainForm_)
        mainForm_ = form.get();
    forms_.push_back(std::move(form));
}

void TApplication::Run() {
    // A 1 ms system timer, so that the paced idle wait is as short as it asks to be.
    timeBeginPeriod(1);
    if (mainForm_)
        mainForm_->Show();
    while (!terminated_)
        HandleMessage();
    timeEndPeriod(1);
}

void TApplication::Dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        if (auto* form =
                dynamic_cast<TForm*>(TControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)))) {
            form->SelectNext(GetKeyState(VK_SHIFT) >= 0);
            return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void TApplication::HandleMessage() {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        Dispatch(msg);
    else
        Idle();
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        Dispatch(msg);
}

// Idle passes keep to a schedule of one per IdleInterval on the steady clock. Rather than wake
// for each one, the loop sleeps on the queue until IdleBatch worth of them have come due, or a
// message arrives, and then runs those that are due, each standing for its own interval: never
// more passes than intervals, and a few dozen wake-ups a second instead of a thousand. Passes
// that fell due while a handler kept the loop busy for longer than a batch are dropped.
int TApplication::DueIdlePasses(bool wait) {
    using Clock = std::chrono::steady_clock;
    auto now = Clock::now();
    if (nextIdle_ == Clock::time_point{} || now - nextIdle_ > IdleBatch)
        nextIdle_ = now;
    const auto batchDue = nextIdle_ + IdleBatch - IdleInterval;
    if (wait && now < batchDue) {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(batchDue - now).count() + 1;
        if (MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(ms), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) != WAIT_TIMEOUT)
            return 0; // a message first
        now = Clock::now();
    }
    if (now < nextIdle_)
        return 0;
    const long long due = (now - nextIdle_) / IdleInterval + 1;
    const long long batch = std::max<long long>(1, IdleBatch / IdleInterval);
    return static_cast<int>(std::min(due, batch));
}

void TApplication::RunIdlePasses(int passes) {
    for (int i = 0; i < passes; ++i) {
        nextIdle_ += IdleInterval;
        ++idlePasses_;
        bool done = true;
        if (OnIdle)
            OnIdle(this, done);
        // A handler that is not done wants the next pass without a sleep first.
        idleAgain_ = !done;
    }
}

void TApplication::Idle() {
    RunIdlePasses(DueIdlePasses(!idleAgain_));
}

void TApplication::ModalIdle() {
    RunIdlePasses(DueIdlePasses(true));
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) {
        forms_.back()->DoDestroy();
        if (forms_.back().get() == mainForm_)
            mainForm_ = nullptr;
        forms_.pop_back();
    }
}

void TApplication::HandleException(const std::string& message) {
    std::string text = message;
    if (text.empty() || text.back() != '.')
        text += '.';
    ShowMessageBox(text, title_, MB_ICONSTOP | MB_OK);
}

} // namespace vcl
