// Answers the message boxes of a process from a background thread, as a user would: it finds
// each box (window class "#32770"), records its caption and text, and presses a button.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct SeenBox {
    std::string caption;
    std::string text;
    std::vector<std::string> buttons; // button captions, in window order
};

class DialogWatcher {
  public:
    // Watches the boxes of process pid (0: this process). By default each box is answered with
    // its first button (OK, or Yes); Answer() queues other choices, used in order.
    explicit DialogWatcher(DWORD pid = 0);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Queues the button (IDOK, IDYES, IDNO, IDCANCEL) for the next box.
    void Answer(int id);
    // When set, boxes are recorded but left open until Release() is called.
    void Hold(bool hold) { hold_ = hold; }
    void Release();

    std::vector<SeenBox> Seen() const;
    size_t Count() const;
    void Clear();
    // Waits until at least n boxes have been seen, or the time runs out.
    bool WaitFor(size_t n, DWORD timeoutMs = 10000) const;
    // Open boxes right now.
    std::vector<HWND> OpenBoxes() const;

  private:
    void Run();
    void Handle(HWND box);

    DWORD pid_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> hold_{false};
    mutable std::mutex mu_;
    std::deque<int> answers_;
    std::vector<SeenBox> seen_;
    std::vector<HWND> handled_;
    std::vector<HWND> held_;
    std::thread thread_;
};

// Text of a window of another thread or process.
std::string WindowText(HWND hwnd);

} // namespace testing_support
