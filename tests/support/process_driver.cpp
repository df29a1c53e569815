#include "tests/support/process_driver.h"

#include "tests/support/dialog_watcher.h"

#include <vector>

namespace testing_support {

ChildProcess::ChildProcess(const std::string& exe, const std::string& args) {
    std::string cmd = "\"" + exe + "\" " + args;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi_))
        pi_ = {};
}

ChildProcess::~ChildProcess() {
    if (!pi_.hProcess)
        return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool ChildProcess::WaitExit(DWORD timeoutMs) {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess)
        GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

HWND FindProcessWindow(DWORD pid, const char* className) {
    struct Search {
        DWORD pid;
        const char* cls;
        HWND found;
    } s = {pid, className, nullptr};
    EnumWindows(
        [](HWND h, LPARAM p) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            char cls[64] = "";
            GetClassNameA(h, cls, sizeof cls);
            if (owner == s->pid && IsWindowVisible(h) && lstrcmpA(cls, s->cls) == 0) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND ChildProcess::WaitForWindow(const char* className, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindProcessWindow(pi_.dwProcessId, className)) != nullptr; },
              timeoutMs);
    return found;
}

namespace {
struct ChildSearch {
    const char* cls;
    const char* text;
    int left, top;
    bool byPlace;
    HWND found;
};
} // namespace

RECT PlaceInParent(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

static HWND Find(HWND parent, ChildSearch s) {
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM p) WINAPI -> BOOL {
            auto* s = reinterpret_cast<ChildSearch*>(p);
            char cls[64] = "";
            GetClassNameA(h, cls, sizeof cls);
            if (lstrcmpiA(cls, s->cls) != 0)
                return TRUE;
            if (s->text && WindowText(h) != s->text)
                return TRUE;
            if (s->byPlace) {
                RECT r = PlaceInParent(h);
                if (r.left != s->left || r.top != s->top)
                    return TRUE;
            }
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindControl(HWND parent, const char* className, const char* text) {
    return Find(parent, {className, text, 0, 0, false, nullptr});
}

HWND FindControlAt(HWND parent, const char* className, int left, int top) {
    return Find(parent, {className, nullptr, left, top, true, nullptr});
}

void PostClick(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void SetWindowTextOf(HWND hwnd, const std::string& text) {
    SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK,
                        5000, nullptr);
}

} // namespace testing_support
