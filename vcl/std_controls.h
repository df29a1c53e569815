// The standard controls: panels, the notebook and its pages, labels, edit boxes, check boxes and
// the progress bar. Each is a real child window whose window text is what a person sees on it.
#pragma once

#include "vcl/control.h"

#include <string>
#include <vector>

namespace vcl {

// A container with a raised one-pixel bevel drawn inside its client area.
class TPanel : public TWinContainer {
  public:
    explicit TPanel(TControl* parent);

  protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    RECT AlignArea() const override;
};

class TPage : public TWinContainer {
  public:
    TPage(TControl* parent, const std::string& name) : TWinContainer(parent) { Name = name; }
};

// Pages stacked in one place; only the active page is visible.
class TNotebook : public TWinContainer {
  public:
    explicit TNotebook(TControl* parent) : TWinContainer(parent) {}
    TPage* AddPage(const std::string& name);
    void SetPageIndex(int index);
    int PageIndex() const { return pageIndex_; }
    TPage* Page(int index) const { return pages_.at(static_cast<size_t>(index)); }

  private:
    std::vector<TPage*> pages_;
    int pageIndex_ = 0;
};

class TLabel : public TControl {
  public:
    explicit TLabel(TControl* parent);
    // Sets the caption; an auto-sized label takes the size of its text.
    void SetCaption(const std::string& caption);
    void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
    void SetCentered(bool centered);

  private:
    void AdjustSize();
    bool autoSize_ = true;
};

enum TEditOptions : unsigned {
    eoNone = 0,
    eoReadOnly = 1,
    eoOEMConvert = 2, // typed text goes through the OEM character set and back
    eoNoBorder = 4,
};

class TEdit : public TControl {
  public:
    explicit TEdit(TControl* parent, unsigned options = eoNone);
    bool ReadOnly() const;
};

class TCheckBox : public TControl {
  public:
    explicit TCheckBox(TControl* parent);
    bool Checked() const;
    // Changes the tick without raising OnClick.
    void SetChecked(bool checked);

  protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

class TProgressBar : public TControl {
  public:
    explicit TProgressBar(TControl* parent);
    void SetRange(int min, int max);
    void SetPosition(int position);
    int Position() const;
};

// Gives a control a tooltip that shows while the mouse rests on it.
void AttachHint(TControl& control, const std::string& hint);

} // namespace vcl
