#include "tests/support/dialog_watcher.h"

#include <algorithm>

namespace testing_support {

std::string WindowText(HWND hwnd) {
    char buf[4096] = "";
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_BLOCK,
                        2000, nullptr);
    return buf;
}

DialogWatcher::DialogWatcher(DWORD pid) : pid_(pid ? pid : GetCurrentProcessId()) {
    thread_ = std::thread([this] { Run(); });
}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    thread_.join();
}

void DialogWatcher::Answer(int id) {
    std::lock_guard<std::mutex> lock(mu_);
    answers_.push_back(id);
}

std::vector<SeenBox> DialogWatcher::Seen() const {
    std::lock_guard<std::mutex> lock(mu_);
    return seen_;
}

size_t DialogWatcher::Count() const {
    std::lock_guard<std::mutex> lock(mu_);
    return seen_.size();
}

void DialogWatcher::Clear() {
    std::lock_guard<std::mutex> lock(mu_);
    seen_.clear();
}

bool DialogWatcher::WaitFor(size_t n, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    while (Count() < n) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

std::vector<HWND> DialogWatcher::OpenBoxes() const {
    std::lock_guard<std::mutex> lock(mu_);
    std::vector<HWND> open;
    for (HWND h : handled_)
        if (IsWindow(h) && IsWindowVisible(h))
            open.push_back(h);
    return open;
}

void DialogWatcher::Release() {
    std::vector<HWND> held;
    {
        std::lock_guard<std::mutex> lock(mu_);
        held.swap(held_);
    }
    for (HWND h : held)
        PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

void DialogWatcher::Run() {
    while (!stop_) {
        EnumWindows(
            [](HWND hwnd, LPARAM self) WINAPI -> BOOL {
                auto* w = reinterpret_cast<DialogWatcher*>(self);
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                char cls[32] = "";
                GetClassNameA(hwnd, cls, sizeof cls);
                if (pid == w->pid_ && std::string(cls) == "#32770" && IsWindowVisible(hwnd))
                    w->Handle(hwnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
        Sleep(10);
    }
}

void DialogWatcher::Handle(HWND box) {
    {
        std::lock_guard<std::mutex> lock(mu_);
        if (std::find(handled_.begin(), handled_.end(), box) != handled_.end())
            return;
    }
    SeenBox seen;
    seen.caption = WindowText(box);
    std::vector<int> ids;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(c, cls, sizeof cls);
        std::string k = cls;
        if (k == "Button") {
            seen.buttons.push_back(WindowText(c));
            ids.push_back(GetDlgCtrlID(c));
        } else if (k == "Static" && GetDlgCtrlID(c) == 0xFFFF) {
            seen.text = WindowText(c);
        }
    }
    int answer = ids.empty() ? IDOK : ids.front();
    {
        std::lock_guard<std::mutex> lock(mu_);
        // Forget closed boxes, so that a handle the system reuses counts as a new box.
        handled_.erase(
            std::remove_if(handled_.begin(), handled_.end(), [](HWND h) { return !IsWindow(h); }),
            handled_.end());
        handled_.push_back(box);
        seen_.push_back(seen);
        if (!answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        if (hold_) {
            held_.push_back(box);
            return;
        }
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

} // namespace testing_support
