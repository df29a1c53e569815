#include "vcl/application.h"

#include "vcl/dialogs.h"
#include "vcl/form.h"

#include <mmsystem.h>

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

bool TApplication::WaitForIdlePass() {
    auto now = std::chrono::steady_clock::now();
    if (now >= nextIdle_)
        return true;
    // Too soon for another pass: sleep on the queue until the pass is due or a message comes.
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextIdle_ - now).count();
    return MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(wait < 1 ? 1 : wait),
                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT;
}

bool TApplication::IdlePass() {
    nextIdle_ = std::chrono::steady_clock::now() + IdleInterval;
    ++idlePasses_;
    bool done = true;
    if (OnIdle)
        OnIdle(this, done);
    return done;
}

void TApplication::Idle() {
    if (WaitForIdlePass() && IdlePass())
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TApplication::ModalIdle() {
    if (WaitForIdlePass())
        IdlePass();
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
