// TForm: a top-level window that holds controls, with the library's creation, activation,
// destruction and paint events, keyboard navigation in tab order and automatic scroll bars.
#pragma once

#include "vcl/control.h"
#include "vcl/timer.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vcl {

enum class TFormBorderStyle { bsDialog, bsSizeToolWin };

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

class TForm : public TWinContainer {
  public:
    // className names the window class, so that the form can be found by it from outside.
    explicit TForm(const char* className);
    ~TForm() override;

    // Creates the window with the layout's frame, loads the layout, then runs the creation event.
    void Create();
    // Runs the destruction event once; the application calls it before it destroys the form.
    void DoDestroy();

    void SetCaption(const std::string& caption) { SetText(caption); }
    void SetClientSize(int width, int height);
    void SetBorderStyle(TFormBorderStyle style);
    bool AutoScroll() const { return borderStyle_ == TFormBorderStyle::bsSizeToolWin; }
    void SetActiveControl(TControl* control);
    TControl* ActiveControl() const { return activeControl_; }

    // Shows the window, centred on the screen, activates it and focuses its active control.
    void Show();
    // Closes the window; closing the main form ends the application.
    void Close();
    // Moves the focus to the next (or previous) control in tab order that can take it.
    void SelectNext(bool forward);

    TTimer* AddTimer();
    // Registers the handler of one window message sent to the form.
    void HandleWindowMessage(UINT msg, std::function<void(TMessage&)> handler);

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDestroy;
    std::function<void(TForm* sender, TCanvas& canvas)> OnPaint;

  protected:
    // Builds the components; forms with a stored layout replace it.
    virtual void LoadLayout() {}
    // The form's paint operation; by default it raises OnPaint.
    virtual void Paint(TCanvas& canvas);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void UpdateScrollBars();
    void ScrollBy(int bar, WPARAM request);
    DWORD Style() const;
    DWORD ExStyle() const;
    std::vector<TControl*> TabList() const;

    const char* className_;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsDialog;
    TControl* activeControl_ = nullptr;
    HWND savedFocus_ = nullptr;
    bool destroyed_ = false;
    std::vector<std::unique_ptr<TTimer>> timers_;
    std::map<UINT, std::function<void(TMessage&)>> messageHandlers_;
    POINT scroll_ = {0, 0};
    bool updatingScrollBars_ = false;
};

} // namespace vcl
