// The Windows side of bench/run.sh: starts a program under the bench's Wine prefix, drives it as a
// user would and prints how long it took, in milliseconds, as "ms=<value>" on standard output.
//
//   bench_driver install EXE MEDIUM [LOG]
//                                       INSTALL.EXE from start to its final page; also prints
//                                       "run_ms=" (Install click to final page); then closes it.
//                                       With the Program Manager stand-in's log, the run is split
//                                       where the log first grows (the group step begins):
//                                       "files_ms=" before, "group_ms=" after
//   bench_driver startup CLASS EXE [ARG...]
//                                       start to a visible top-level window of CLASS and the
//                                       process idle on input; then ends the process
//   bench_driver run EXE [ARG...]       start to exit; fails on a non-zero exit code
//   bench_driver finish                 the open installer window (found by its caption): Install,
//                                       wait for the final page, leave it open
//   bench_driver close                  the open installer window's final page: Close, wait for
//                                       the window to go
#include "tests/support/dialog_watcher.h"
#include "tests/support/process_driver.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using namespace testing_support;

namespace {

const char kCaption[] = "Setup Vorelle 2000";

class Clock {
  public:
    Clock() {
        QueryPerformanceFrequency(&freq_);
        QueryPerformanceCounter(&start_);
    }
    double Ms() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
               static_cast<double>(freq_.QuadPart);
    }

  private:
    LARGE_INTEGER freq_, start_;
};

// A 1 ms system timer while the bench waits, so that its polls see a change promptly.
class FineTimer {
  public:
    FineTimer() { timeBeginPeriod(1); }
    ~FineTimer() { timeEndPeriod(1); }
    FineTimer(const FineTimer&) = delete;
    FineTimer& operator=(const FineTimer&) = delete;
};

// Polls every few milliseconds: finer polls would compete with the measured program for the
// wineserver.
template <class Condition> bool PollUntil(Condition condition, DWORD timeoutMs) {
    return WaitUntil(condition, timeoutMs, 5);
}

int Fail(const char* what) {
    std::fprintf(stderr, "bench_driver: %s\n", what);
    return 1;
}

std::string Quoted(int argc, char** argv, int from) {
    std::string args;
    for (int i = from; i < argc; ++i) {
        if (!args.empty())
            args += ' ';
        args += std::strchr(argv[i], ' ') ? "\"" + std::string(argv[i]) + "\"" : argv[i];
    }
    return args;
}

struct InstallerWindow {
    HWND form = nullptr, install = nullptr, close = nullptr, freeBox = nullptr;

    bool Find(HWND f) {
        form = f;
        install = FindControl(form, "Button", "Install");
        close = FindControl(form, "Button", "Close");
        freeBox = FindControlAt(form, "Edit", 47, 149);
        return install && close && freeBox;
    }
    // Until the first free-space refresh the run would ask about the space: wait for a figure.
    bool WaitForFreeSpace() const {
        return PollUntil([&] { return !WindowText(freeBox).empty(); }, 10000);
    }
    bool WaitForFinalPage() const {
        return PollUntil([&] { return IsWindowVisible(close) != 0; }, 120000);
    }
};

// A message box of the process means the run did not go as a clean installation goes.
bool HasMessageBox(DWORD pid) {
    return testing_support::FindProcessWindow(pid, "#32770") != nullptr;
}

// The size of a file, -1 when it cannot be read. Asked of the file system, not of the installer,
// so that watching it does not disturb the run.
long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int Install(const std::string& exe, const std::string& medium, const std::string& log) {
    FineTimer fine;
    Clock clock;
    ChildProcess child(exe, "\"" + medium + "\"");
    if (!child.Started())
        return Fail("INSTALL.EXE did not start");
    HWND form = nullptr;
    if (!PollUntil(
            [&] {
                return (form = testing_support::FindProcessWindow(child.Pid(), "TInstallForm")) !=
                       nullptr;
            },
            20000))
        return Fail("no installer window");
    InstallerWindow w;
    if (!w.Find(form) || !w.WaitForFreeSpace())
        return Fail("installer window incomplete");
    const long long logSize = log.empty() ? -1 : FileSize(log);
    double clickMs = clock.Ms();
    double groupMs = -1;
    PostClick(w.install);
    if (!PollUntil(
            [&] {
                if (groupMs < 0 && !log.empty() && FileSize(log) != logSize)
                    groupMs = clock.Ms();
                return IsWindowVisible(w.close) != 0;
            },
            120000))
        return Fail("no final page");
    double doneMs = clock.Ms();
    if (HasMessageBox(child.Pid()))
        return Fail("a message box is open on the final page");
    std::printf("ms=%.1f\nrun_ms=%.1f\n", doneMs, doneMs - clickMs);
    if (groupMs >= 0)
        std::printf("files_ms=%.1f\ngroup_ms=%.1f\n", groupMs - clickMs, doneMs - groupMs);
    PostClick(w.close);
    if (!child.WaitExit(20000))
        return Fail("INSTALL.EXE did not end after Close");
    return 0;
}

int Startup(const char* className, const std::string& exe, const std::string& args) {
    FineTimer fine;
    Clock clock;
    ChildProcess child(exe, args);
    if (!child.Started())
        return Fail("the program did not start");
    if (!PollUntil(
            [&] { return testing_support::FindProcessWindow(child.Pid(), className) != nullptr; },
            20000))
        return Fail("no window of that class");
    std::unique_ptr<void, decltype(&CloseHandle)> process(
        OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, child.Pid()), &CloseHandle);
    if (!process || WaitForInputIdle(process.get(), 20000) != 0)
        return Fail("the program did not become idle");
    std::printf("ms=%.1f\n", clock.Ms());
    return 0; // the child is ended by its destructor
}

int Run(const std::string& exe, const std::string& args) {
    Clock clock;
    ChildProcess child(exe, args);
    if (!child.Started())
        return Fail("the program did not start");
    if (!child.WaitExit(300000))
        return Fail("the program did not end");
    double ms = clock.Ms();
    if (child.ExitCode() != 0) {
        std::fprintf(stderr, "bench_driver: exit code %lu\n", child.ExitCode());
        return 1;
    }
    std::printf("ms=%.1f\n", ms);
    return 0;
}

int FinishOpen(bool close) {
    FineTimer fine;
    HWND form = FindWindowA(nullptr, kCaption);
    InstallerWindow w;
    if (!form || !w.Find(form))
        return Fail("no open installer window");
    if (close) {
        PostClick(w.close);
        return PollUntil([&] { return !IsWindow(form); }, 20000) ? 0 : Fail("still open");
    }
    if (!w.WaitForFreeSpace())
        return Fail("no free-space figure");
    Clock clock;
    PostClick(w.install);
    if (!w.WaitForFinalPage())
        return Fail("no final page");
    std::printf("run_ms=%.1f\n", clock.Ms());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "install" && (argc == 4 || argc == 5))
        return Install(argv[2], argv[3], argc == 5 ? argv[4] : "");
    if (mode == "startup" && argc >= 4)
        return Startup(argv[2], argv[3], Quoted(argc, argv, 4));
    if (mode == "run" && argc >= 3)
        return Run(argv[2], Quoted(argc, argv, 3));
    if (mode == "finish" && argc == 2)
        return FinishOpen(false);
    if (mode == "close" && argc == 2)
        return FinishOpen(true);
    return Fail("usage: install EXE MEDIUM [LOG] | startup CLASS EXE [ARG...] | run EXE [ARG...] | "
                "finish | close");
}
