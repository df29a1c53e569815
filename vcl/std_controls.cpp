#include "vcl/std_controls.h"

#include <commctrl.h>

namespace vcl {

TPanel::TPanel(TControl* parent) : TWinContainer(parent, false) {
    CreateHandle(OwnClass("TPanel"), WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        RECT r = ClientRect();
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        EndPaint(Handle(), &ps);
        return 0;
    }
    return TWinContainer::WndProc(msg, wp, lp);
}

RECT TPanel::AlignArea() const {
    RECT r = ClientRect();
    InflateRect(&r, -1, -1);
    return r;
}

TPage* TNotebook::AddPage(const std::string& name) {
    TPage* page = Add<TPage>(name);
    page->Align = TAlign::alClient;
    page->SetVisible(pages_.empty());
    pages_.push_back(page);
    Realign();
    return page;
}

void TNotebook::SetPageIndex(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size()))
        return;
    pageIndex_ = index;
    pages_[static_cast<size_t>(index)]->SetVisible(true);
    for (size_t i = 0; i < pages_.size(); ++i)
        if (static_cast<int>(i) != index)
            pages_[i]->SetVisible(false);
}

TLabel::TLabel(TControl* parent) : TControl(parent) {
    CreateHandle("STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
}

void TLabel::SetCaption(const std::string& caption) {
    SetText(caption);
    AdjustSize();
}

void TLabel::SetCentered(bool centered) {
    LONG style = GetWindowLongA(Handle(), GWL_STYLE) & ~(SS_LEFT | SS_CENTER | SS_RIGHT);
    SetWindowLongA(Handle(), GWL_STYLE, style | (centered ? SS_CENTER : SS_LEFT));
    Invalidate();
}

void TLabel::AdjustSize() {
    if (!autoSize_)
        return;
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, FontHandle());
    std::string text = Text();
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    RECT b = BoundsRect();
    SetBounds(b.left, b.top, r.right, r.bottom);
}

TEdit::TEdit(TControl* parent, unsigned options) : TControl(parent) {
    SetColor(clWindow);
    DWORD style = WS_VISIBLE | ES_AUTOHSCROLL | ES_LEFT;
    if (options & eoReadOnly)
        style |= ES_READONLY;
    if (options & eoOEMConvert)
        style |= ES_OEMCONVERT;
    CreateHandle("EDIT", style, (options & eoNoBorder) ? 0 : WS_EX_CLIENTEDGE);
    TabStop = true;
}

bool TEdit::ReadOnly() const {
    return (GetWindowLongA(Handle(), GWL_STYLE) & ES_READONLY) != 0;
}

TCheckBox::TCheckBox(TControl* parent) : TControl(parent) {
    CreateHandle("BUTTON", WS_VISIBLE | BS_AUTOCHECKBOX);
    TabStop = true;
}

bool TCheckBox::Checked() const {
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        Click();
        result = 0;
        return true;
    }
    return TControl::Reflected(msg, wp, lp, result);
}

TProgressBar::TProgressBar(TControl* parent) : TControl(parent) {
    CreateHandle(PROGRESS_CLASSA, WS_VISIBLE);
}

void TProgressBar::SetRange(int min, int max) {
    SendMessageA(Handle(), PBM_SETRANGE32, min, max);
}

void TProgressBar::SetPosition(int position) {
    SendMessageA(Handle(), PBM_SETPOS, position, 0);
}

int TProgressBar::Position() const {
    return static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

void AttachHint(TControl& control, const std::string& hint) {
    HWND owner = GetAncestor(control.Handle(), GA_ROOT);
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(control.Handle());
    ti.lpszText = const_cast<char*>(hint.c_str());
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

} // namespace vcl
