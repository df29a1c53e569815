#include "vcl/form.h"

#include "vcl/application.h"

#include <algorithm>

namespace vcl {

namespace {

// A form's class shows the program's own icon, the executable's icon resource 1, when it has
// one; otherwise the system's default stays. The icons are shared: the system frees them.
void TakeProgramIcon(HWND form) {
    HINSTANCE exe = GetModuleHandleA(nullptr);
    auto load = [exe](int cx, int cy) {
        return reinterpret_cast<LONG_PTR>(LoadImageA(exe, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                     GetSystemMetrics(cx), GetSystemMetrics(cy),
                                                     LR_SHARED));
    };
    if (LONG_PTR big = load(SM_CXICON, SM_CYICON)) {
        SetClassLongPtrA(form, GCLP_HICON, big);
        SetClassLongPtrA(form, GCLP_HICONSM, load(SM_CXSMICON, SM_CYSMICON));
    }
}

} // namespace

TForm::TForm(const char* className) : TWinContainer(nullptr, false), className_(className) {}

TForm::~TForm() {
    timers_.clear();
}

DWORD TForm::Style() const {
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (borderStyle_ == TFormBorderStyle::bsSizeToolWin)
        style |= WS_THICKFRAME;
    return style;
}

DWORD TForm::ExStyle() const {
    DWORD ex = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
    ex |= borderStyle_ == TFormBorderStyle::bsSizeToolWin ? WS_EX_TOOLWINDOW : WS_EX_DLGMODALFRAME;
    return ex;
}

void TForm::Create() {
    CreateHandle(OwnClass(className_, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW), Style(), ExStyle());
    TakeProgramIcon(Handle());
    LoadLayout();
    if (OnCreate)
        OnCreate(this);
}

void TForm::DoDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    if (OnDestroy)
        OnDestroy(this);
}

void TForm::SetClientSize(int width, int height) {
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
    SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    RECT client = ClientRect();
    borderStyle_ = style;
    SetWindowLongA(Handle(), GWL_STYLE,
                   static_cast<LONG>((GetWindowLongA(Handle(), GWL_STYLE) & WS_VISIBLE) | Style()));
    SetWindowLongA(Handle(), GWL_EXSTYLE, static_cast<LONG>(ExStyle()));
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The new frame keeps the client area the layout asked for.
    SetClientSize(client.right, client.bottom);
}

void TForm::SetActiveControl(TControl* control) {
    activeControl_ = control;
    if (control && IsWindowVisible(Handle()) && control->CanFocus())
        control->SetFocus();
}

void TForm::Show() {
    RECT r;
    GetWindowRect(Handle(), &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    if (activeControl_ && activeControl_->CanFocus())
        activeControl_->SetFocus();
    UpdateWindow(Handle());
}

void TForm::Close() {
    if (this == Application->MainForm())
        Application->Terminate();
    else
        ShowWindow(Handle(), SW_HIDE);
}

TTimer* TForm::AddTimer() {
    timers_.push_back(std::make_unique<TTimer>(Handle()));
    return timers_.back().get();
}

void TForm::HandleWindowMessage(UINT msg, std::function<void(TMessage&)> handler) {
    messageHandlers_[msg] = std::move(handler);
}

void TForm::Paint(TCanvas& canvas) {
    if (OnPaint)
        OnPaint(this, canvas);
}

std::vector<TControl*> TForm::TabList() const {
    std::vector<TControl*> list;
    std::function<void(const TControl*)> walk = [&](const TControl* parent) {
        std::vector<TControl*> kids;
        for (auto& c : parent->Children())
            kids.push_back(c.get());
        std::stable_sort(kids.begin(), kids.end(),
                         [](TControl* a, TControl* b) { return a->TabOrder < b->TabOrder; });
        for (TControl* c : kids) {
            if (c->TabStop)
                list.push_back(c);
            walk(c);
        }
    };
    walk(this);
    return list;
}

void TForm::SelectNext(bool forward) {
    std::vector<TControl*> list = TabList();
    if (list.empty())
        return;
    const int n = static_cast<int>(list.size());
    TControl* current = TControl::FromHandle(GetFocus());
    auto at = std::find(list.begin(), list.end(), current);
    int start = at == list.end() ? (forward ? -1 : n) : static_cast<int>(at - list.begin());
    for (int step = 1; step <= n; ++step) {
        int i = ((start + (forward ? step : -step)) % n + n) % n;
        if (list[i]->CanFocus()) {
            list[i]->SetFocus();
            if (GetFocus() == list[i]->Handle())
                SendMessageA(list[i]->Handle(), EM_SETSEL, 0, -1);
            return;
        }
    }
}

void TForm::UpdateScrollBars() {
    // Showing or hiding a bar resizes the client area, which comes back here as WM_SIZE; the
    // outer call finishes the job, so the contents are scrolled only once.
    if (!AutoScroll() || updatingScrollBars_)
        return;
    updatingScrollBars_ = true;
    // The range covers every control at its unscrolled place; controls aligned to the bottom
    // stay in view and add their height.
    int right = 0, bottom = 0, docked = 0;
    for (auto& c : Children()) {
        if (!c->Visible())
            continue;
        RECT b = c->BoundsRect();
        if (c->Align == TAlign::alBottom) {
            docked += b.bottom - b.top;
            continue;
        }
        right = std::max<int>(right, b.right + scroll_.x);
        bottom = std::max<int>(bottom, b.bottom + scroll_.y);
    }
    bottom += docked;
    for (int pass = 0; pass < 2; ++pass) { // a bar shown on one side narrows the other
        RECT client = ClientRect();
        SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        auto set = [&](int bar, int range, int page, LONG& pos) {
            if (range > page) {
                si.nMax = range - 1;
                si.nPage = static_cast<UINT>(page);
                pos = std::min<LONG>(pos, range - page);
            } else {
                si.nMax = 0;
                si.nPage = 0;
                pos = 0;
            }
            si.nPos = pos;
            SetScrollInfo(Handle(), bar, &si, TRUE);
        };
        POINT before = scroll_;
        set(SB_HORZ, right, client.right, scroll_.x);
        set(SB_VERT, bottom, client.bottom, scroll_.y);
        if (before.x != scroll_.x || before.y != scroll_.y)
            ScrollWindowEx(Handle(), before.x - scroll_.x, before.y - scroll_.y, nullptr, nullptr,
                           nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    }
    updatingScrollBars_ = false;
    Realign();
}

void TForm::ScrollBy(int bar, WPARAM request) {
    SCROLLINFO si = {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Handle(), bar, &si);
    int pos = si.nPos;
    switch (LOWORD(request)) {
    case SB_LINEUP:
        pos -= 8;
        break;
    case SB_LINEDOWN:
        pos += 8;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(si.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(si.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = si.nTrackPos;
        break;
    default:
        break;
    }
    int maxPos = si.nMax - static_cast<int>(si.nPage) + 1;
    pos = std::max(0, std::min(pos, maxPos));
    LONG& current = bar == SB_HORZ ? scroll_.x : scroll_.y;
    int delta = current - pos;
    if (!delta)
        return;
    current = pos;
    SetScrollPos(Handle(), bar, pos, TRUE);
    ScrollWindowEx(Handle(), bar == SB_HORZ ? delta : 0, bar == SB_VERT ? delta : 0, nullptr,
                   nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    Realign();
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    auto handler = messageHandlers_.find(msg);
    if (handler != messageHandlers_.end()) {
        TMessage m = {msg, wp, lp, 0};
        handler->second(m);
        return m.Result;
    }
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        TCanvas canvas(dc);
        Paint(canvas);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        // Lets the client area be rendered into any device context, a bitmap included.
        TCanvas canvas(reinterpret_cast<HDC>(wp));
        Paint(canvas);
        return 0;
    }
    case WM_TIMER:
        for (auto& t : timers_)
            if (t->Id() == wp) {
                t->Tick();
                return 0;
            }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(Handle(), focus))
                savedFocus_ = focus;
            return 0;
        } else {
            DefaultProc(msg, wp, lp);
            // Give the focus back to the control that had it, as a dialog does.
            TControl* back = TControl::FromHandle(savedFocus_);
            if (back && IsChild(Handle(), savedFocus_) && back->CanFocus())
                back->SetFocus();
            else if (activeControl_ && activeControl_->CanFocus())
                activeControl_->SetFocus();
            if (!HIWORD(wp) && OnActivate)
                OnActivate(this);
            return 0;
        }
    case WM_ENTERIDLE:
        // A modal box of ours waits for input: the application's idle passes go on there.
        if (wp == MSGF_DIALOGBOX)
            Application->ModalIdle();
        return 0;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_SIZE:
        TControl::WndProc(msg, wp, lp);
        UpdateScrollBars();
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lp == 0) {
            ScrollBy(msg == WM_HSCROLL ? SB_HORZ : SB_VERT, wp);
            return 0;
        }
        break;
    default:
        break;
    }
    return TWinContainer::WndProc(msg, wp, lp);
}

} // namespace vcl
