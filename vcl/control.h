// TControl: one real window and the object that owns it. Every control of the library derives from
// it; containers (forms, panels, notebook pages) are controls whose window holds child controls.
#pragma once

#include "vcl/gdi.h"
#include "vcl/types.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vcl {

class TForm;

class TControl : public TObject {
  public:
    explicit TControl(TControl* parent);
    ~TControl() override;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    // Creates a child control owned by this one; it lives as long as this control.
    template <class T, class... Args> T* Add(Args&&... args) {
        auto child = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = child.get();
        children_.push_back(std::move(child));
        return raw;
    }

    HWND Handle() const { return hwnd_; }
    TControl* Parent() const { return parent_; }
    TForm* ParentForm() const;
    const std::vector<std::unique_ptr<TControl>>& Children() const { return children_; }
    static TControl* FromHandle(HWND hwnd);

    std::string Name;

    // Position and size within the parent's client area.
    void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const;
    int Height() const;
    RECT ClientRect() const;

    std::string Text() const;
    void SetText(const std::string& text);

    void SetFont(const TFont& font);
    const TFont& Font() const { return font_; }
    void SetColor(TColor color);
    TColor Color() const { return color_; }

    void SetVisible(bool visible);
    bool Visible() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    // True when the control and every control that contains it are visible and enabled.
    bool CanFocus() const;
    void SetFocus();

    void BringToFront();
    void SendToBack();
    void Invalidate();

    int TabOrder = 0;
    bool TabStop = false;
    TAlign Align = TAlign::alNone;
    // Lays out this control's aligned children within its alignment area.
    void Realign();

    TNotifyEvent OnClick;
    TNotifyEvent OnExit;
    TKeyPressEvent OnKeyPress;

    virtual void Click();

  protected:
    void CreateHandle(const char* className, DWORD style, DWORD exStyle = 0);
    // Registers (once) a window class of our own that leaves all handling to the subclass.
    static const char* OwnClass(const char* name, UINT classStyle = CS_DBLCLKS);

    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Messages that a parent receives about this control (commands, colours, drawing) come here.
    virtual bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The area within which aligned children are laid out; panels leave their bevel out.
    virtual RECT AlignArea() const { return ClientRect(); }
    HBRUSH BackgroundBrush();
    HFONT FontHandle() const { return hfont_.get(); }

  private:
    static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    TControl* parent_;
    HWND hwnd_ = nullptr;
    WNDPROC classProc_ = DefWindowProcA;
    std::vector<std::unique_ptr<TControl>> children_;
    TFont font_;
    vcl::Font hfont_;
    TColor color_ = clBtnFace;
    Brush brush_;
};

// A control of our own window class that paints all of itself.
class TCustomControl : public TControl {
  public:
    using TControl::TControl;

  protected:
    virtual void Paint(HDC dc) = 0;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A window of our own class that holds child controls and paints its background colour.
class TWinContainer : public TControl {
  public:
    explicit TWinContainer(TControl* parent, bool create = true);

  protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

} // namespace vcl
