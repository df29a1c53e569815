#include "vcl/dialogs.h"

#include "vcl/application.h"

namespace vcl {

namespace {

HHOOK g_centreHook = nullptr;

// Moves the box to the centre of the screen as it is activated, before it is first painted.
LRESULT CALLBACK CentreOnScreen(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wp);
        RECT r;
        GetWindowRect(box, &r);
        int w = r.right - r.left, h = r.bottom - r.top;
        SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        UnhookWindowsHookEx(g_centreHook);
        g_centreHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

} // namespace

int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    if (Application->Terminated())
        return mrCancel;
    HWND owner = GetActiveWindow();
    if (!owner)
        flags |= MB_TASKMODAL;
    if (!g_centreHook)
        g_centreHook = SetWindowsHookExA(WH_CBT, CentreOnScreen, nullptr, GetCurrentThreadId());
    int result = MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    if (g_centreHook) {
        UnhookWindowsHookEx(g_centreHook);
        g_centreHook = nullptr;
    }
    return result;
}

int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons) {
    UINT flags = buttons == TMsgDlgButtons::mbYesNo ? MB_YESNO : MB_OK;
    const char* caption = "";
    switch (type) {
    case TMsgDlgType::mtWarning:
        flags |= MB_ICONWARNING;
        caption = "Warning";
        break;
    case TMsgDlgType::mtError:
        flags |= MB_ICONERROR;
        caption = "Error";
        break;
    case TMsgDlgType::mtInformation:
        flags |= MB_ICONINFORMATION;
        caption = "Information";
        break;
    case TMsgDlgType::mtConfirmation:
        flags |= MB_ICONQUESTION;
        caption = "Confirm";
        break;
    }
    return ShowMessageBox(message, caption, flags);
}

} // namespace vcl
