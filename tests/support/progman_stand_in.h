// PROGMAN.EXE, Program Manager's stand-in, as a process of the test with its options and a log of
// every DDE message it received; ended by its handle when the test is done with it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace testing_support {

// A program built beside this one: the relative path (with forward slashes, as CMake gives it)
// from this program's folder.
inline std::string BesideThisProgram(std::string relative) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return dir.substr(0, dir.find_last_of('\\')) + "\\" + relative;
}

class ProgmanStandIn {
  public:
    ProgmanStandIn(const std::string& exe, const std::string& options) {
        static int serial = 0;
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        log_ = std::string(temp) + "progman_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(++serial) + ".log";
        DeleteFileA(log_.c_str());
        std::string command = "\"" + exe + "\" \"/log=" + log_ + "\" " + options;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNOACTIVATE;
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &si, &pi_))
            return;
        for (DWORD start = GetTickCount(); !window_ && GetTickCount() - start < 10000; Sleep(20))
            window_ = FindServerOf(pi_.dwProcessId);
    }
    ~ProgmanStandIn() {
        End();
        if (pi_.hProcess) {
            CloseHandle(pi_.hThread);
            CloseHandle(pi_.hProcess);
        }
        DeleteFileA(log_.c_str());
    }
    ProgmanStandIn(const ProgmanStandIn&) = delete;
    ProgmanStandIn& operator=(const ProgmanStandIn&) = delete;

    // Its window of class "Progman", or null when it did not start.
    HWND Window() const { return window_; }
    void End() {
        if (pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 0);
            WaitForSingleObject(pi_.hProcess, 10000);
        }
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream in(log_, std::ios::binary);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The command texts received, in order.
    std::vector<std::string> Executed() const {
        std::vector<std::string> commands;
        for (const std::string& line : Lines())
            if (line.rfind("EXECUTE ", 0) == 0)
                commands.push_back(line.substr(8));
        return commands;
    }
    // Waits until the log holds at least n lines.
    std::vector<std::string> WaitForLines(size_t n) const {
        std::vector<std::string> lines = Lines();
        for (DWORD start = GetTickCount(); lines.size() < n && GetTickCount() - start < 5000;
             Sleep(20))
            lines = Lines();
        return lines;
    }

    // The window of class "Progman" of process pid.
    static HWND FindServerOf(DWORD pid) {
        for (HWND w = FindWindowA("Progman", nullptr); w;
             w = FindWindowExA(nullptr, w, "Progman", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid)
                return w;
        }
        return nullptr;
    }

  private:
    PROCESS_INFORMATION pi_ = {};
    HWND window_ = nullptr;
    std::string log_;
};

} // namespace testing_support
