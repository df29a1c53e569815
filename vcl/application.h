// The application object (title, main form, message loop with its idle event) and the screen
// cursor.
#pragma once

#include "vcl/types.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vcl {

class TForm;

enum TCursor { crDefault = 0, crHourGlass = -11 };

class TScreen {
  public:
    TCursor Cursor() const { return cursor_; }
    // The hourglass shows over every window of the program while it is set.
    void SetCursor(TCursor cursor);

  private:
    TCursor cursor_ = crDefault;
};

class TApplication : public TObject {
  public:
    using TIdleEvent = std::function<void(TObject* sender, bool& done)>;

    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }

    // Allocates a form, stores it in ref, then loads its layout and runs its creation event, so
    // that the creation event already finds ref set. The first form created is the main form.
    template <class T> void CreateForm(T*& ref) {
        auto form = std::make_unique<T>();
        ref = form.get();
        Adopt(std::move(form));
        ref->Create();
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and handles messages until the application is told to end.
    void Run();
    // Handles one message, or runs one idle pass when the queue is empty.
    void HandleMessage();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Runs the destruction events of all forms and destroys them, newest first.
    void DestroyForms();

    TIdleEvent OnIdle;
    // Idle passes come at most once per IdleInterval of the steady clock; while idle the loop
    // sleeps on the queue until IdleBatch worth of passes are due.
    std::chrono::microseconds IdleInterval{1000};
    std::chrono::microseconds IdleBatch{40000};
    long long IdlePasses() const { return idlePasses_; }

    // The default report of an error that no handler caught: its text followed by a full stop,
    // under a stop icon, captioned with the application title.
    void HandleException(const std::string& message);

    // Dispatches one message as the loops of the application do (keyboard navigation included).
    void Dispatch(MSG& msg);
    // One paced idle pass for a modal box's loop, which waits for the next message itself.
    void ModalIdle();

  private:
    void Adopt(std::unique_ptr<TForm> form);
    void Idle();
    int DueIdlePasses(bool wait);
    void RunIdlePasses(int passes);

    std::string title_;
    std::vector<std::unique_ptr<TForm>> forms_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::chrono::steady_clock::time_point nextIdle_{};
    long long idlePasses_ = 0;
    bool idleAgain_ = false;
};

extern TApplication* const Application;
extern TScreen* const Screen;

} // namespace vcl
