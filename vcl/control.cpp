#include "vcl/control.h"

#include "vcl/application.h"
#include "vcl/form.h"

#include <set>
#include <unordered_map>
#include <stdexcept>

namespace vcl {

namespace {
UINT_PTR g_nextId = 100;

// Which object owns which of our windows. Kept in the process: a window property would cost a
// round trip to the window server under Wine on every message.
std::unordered_map<HWND, TControl*>& Controls() {
    static std::unordered_map<HWND, TControl*> controls;
    return controls;
}
} // namespace

TControl::TControl(TControl* parent) : parent_(parent) {
    if (parent)
        font_ = parent->font_;
}

TControl::~TControl() {
    children_.clear();
    if (hwnd_) {
        HWND h = hwnd_;
        DestroyWindow(h); // WM_NCDESTROY detaches us
    }
}

TControl* TControl::FromHandle(HWND hwnd) {
    auto it = Controls().find(hwnd);
    return it == Controls().end() ? nullptr : it->second;
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

const char* TControl::OwnClass(const char* name, UINT classStyle) {
    static std::set<std::string> registered;
    if (registered.insert(name).second) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.style = classStyle;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = name;
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw std::runtime_error(std::string("Cannot register window class ") + name);
    }
    return name;
}

void TControl::CreateHandle(const char* className, DWORD style, DWORD exStyle) {
    HWND parentWnd = parent_ ? parent_->hwnd_ : nullptr;
    HMENU id = nullptr;
    if (parentWnd) {
        style |= WS_CHILD | WS_CLIPSIBLINGS;
        id = reinterpret_cast<HMENU>(g_nextId++);
    }
    hwnd_ = CreateWindowExA(exStyle, className, "", style, 0, 0, 0, 0, parentWnd, id,
                            GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_)
        throw std::runtime_error(std::string("Cannot create a window of class ") + className);
    Controls()[hwnd_] = this;
    // Our procedure goes in front of the class's, which handles whatever we pass on.
    classProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TControl::ControlProc)));
    SetFont(font_);
}

LRESULT CALLBACK TControl::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TControl* self = FromHandle(hwnd);
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    try {
        return self->Dispatch(msg, wp, lp);
    } catch (const std::exception& e) {
        // No exception may cross the system's call back into us: report it as the
        // application's unhandled error and carry on.
        Application->HandleException(e.what());
    } catch (...) {
        Application->HandleException("Unexpected error");
    }
    return 0;
}

LRESULT TControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        HWND h = hwnd_;
        Controls().erase(h);
        hwnd_ = nullptr;
        return CallWindowProcA(classProc_, h, msg, wp, lp);
    }
    HWND child = nullptr;
    switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lp);
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem;
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
        break;
    default:
        break;
    }
    if (child && child != hwnd_) {
        if (TControl* c = FromHandle(child)) {
            LRESULT result = 0;
            if (c->Reflected(msg, wp, lp, result))
                return result;
        }
    }
    return WndProc(msg, wp, lp);
}

LRESULT TControl::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(classProc_, hwnd_, msg, wp, lp);
}

LRESULT TControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETCURSOR:
        if (Screen->Cursor() != crDefault) {
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CHAR:
        if (OnKeyPress) {
            char key = static_cast<char>(wp);
            OnKeyPress(this, key);
            if (key == 0)
                return 0;
            wp = static_cast<unsigned char>(key);
        }
        break;
    case WM_KILLFOCUS: {
        // Exit means the focus moves to another control of the same form, not that the form
        // itself loses the activation (to a message box, say).
        HWND to = reinterpret_cast<HWND>(wp);
        if (OnExit && to && GetAncestor(to, GA_ROOT) == GetAncestor(hwnd_, GA_ROOT)) {
            LRESULT r = DefaultProc(msg, wp, lp);
            OnExit(this);
            return r;
        }
        break;
    }
    case WM_SIZE:
        Realign();
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

bool TControl::Reflected(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, ColorToRGB(font_.Color));
        SetBkColor(dc, ColorToRGB(color_));
        result = reinterpret_cast<LRESULT>(BackgroundBrush());
        return true;
    }
    default:
        return false;
    }
}

HBRUSH TControl::BackgroundBrush() {
    if (!brush_.get())
        brush_.reset(CreateSolidBrush(ColorToRGB(color_)));
    return brush_.get();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    MoveWindow(hwnd_, left, top, width, height, TRUE);
}

RECT TControl::BoundsRect() const {
    RECT r;
    GetWindowRect(hwnd_, &r);
    if (parent_)
        MapWindowPoints(HWND_DESKTOP, parent_->hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int TControl::Width() const {
    RECT r = BoundsRect();
    return r.right - r.left;
}

int TControl::Height() const {
    RECT r = BoundsRect();
    return r.bottom - r.top;
}

RECT TControl::ClientRect() const {
    RECT r;
    GetClientRect(hwnd_, &r);
    return r;
}

std::string TControl::Text() const {
    int n = GetWindowTextLengthA(hwnd_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(hwnd_, s.data(), n + 1);
    s.resize(static_cast<size_t>(n < 0 ? 0 : n));
    return s;
}

void TControl::SetText(const std::string& text) {
    SetWindowTextA(hwnd_, text.c_str());
}

void TControl::SetFont(const TFont& font) {
    font_ = font;
    hfont_ = MakeFont(font_);
    if (hwnd_)
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(hfont_.get()), TRUE);
}

void TControl::SetColor(TColor color) {
    color_ = color;
    brush_.reset();
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool TControl::Visible() const {
    return (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TControl::SetEnabled(bool enabled) {
    EnableWindow(hwnd_, enabled);
}

bool TControl::Enabled() const {
    return (GetWindowLongA(hwnd_, GWL_STYLE) & WS_DISABLED) == 0;
}

bool TControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TControl::SetFocus() {
    ::SetFocus(hwnd_);
}

void TControl::BringToFront() {
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (parent_)
        parent_->Invalidate();
}

void TControl::Invalidate() {
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
}

void TControl::Realign() {
    RECT area = AlignArea();
    for (auto& c : children_) {
        if (c->Align == TAlign::alBottom) {
            int h = c->Height();
            c->SetBounds(area.left, area.bottom - h, area.right - area.left, h);
            area.bottom -= h;
        }
    }
    for (auto& c : children_)
        if (c->Align == TAlign::alClient)
            c->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

LRESULT TCustomControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // Paint covers the whole area
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        Paint(dc);
        EndPaint(Handle(), &ps);
        return 0;
    }
    default:
        return TControl::WndProc(msg, wp, lp);
    }
}

TWinContainer::TWinContainer(TControl* parent, bool create) : TControl(parent) {
    if (create)
        CreateHandle(OwnClass("TWinContainer"), WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

LRESULT TWinContainer::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT r = ClientRect();
        FillRect(reinterpret_cast<HDC>(wp), &r, BackgroundBrush());
        return 1;
    }
    return TControl::WndProc(msg, wp, lp);
}

} // namespace vcl
