// Drives a program in another process through its windows, as a user would: finds its controls
// by class, text and place, types into them, clicks them and waits for it to end.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class ChildProcess {
  public:
    // Starts exe with the command-line arguments (already quoted as needed).
    ChildProcess(const std::string& exe, const std::string& args);
    // Ends the process if it is still running: it is ours.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pi_.hProcess != nullptr; }
    DWORD Pid() const { return pi_.dwProcessId; }
    // Waits for the process to end; false if it is still running after timeoutMs.
    bool WaitExit(DWORD timeoutMs);
    DWORD ExitCode() const;

    // The first visible top-level window of the process with this class, waited for.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 10000) const;

  private:
    PROCESS_INFORMATION pi_ = {};
};

// The first visible top-level window of process pid with this class, or null.
HWND FindProcessWindow(DWORD pid, const char* className);

// A child window anywhere below parent: of the class, and with the text when text is given.
HWND FindControl(HWND parent, const char* className, const char* text = nullptr);
// A child window of the class whose place within its own parent is (left, top).
HWND FindControlAt(HWND parent, const char* className, int left, int top);
// The place of a window within its parent's client area.
RECT PlaceInParent(HWND hwnd);

// Waits until the condition holds, pumping nothing, looking every pollMs; false when the time
// runs out.
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000, DWORD pollMs = 20) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(pollMs);
    }
    return true;
}

// Clicks a button of another process without waiting for what the click starts.
void PostClick(HWND button);
void SetWindowTextOf(HWND hwnd, const std::string& text);

} // namespace testing_support
