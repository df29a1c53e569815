// TBitBtn: a push button that shows a glyph beside its caption. The glyph is one bitmap holding
// two images side by side, normal and disabled; its bottom-left pixel marks the transparent colour.
#pragma once

#include "vcl/control.h"

namespace vcl {

enum class TBitBtnKind { bkCustom, bkClose };

class TBitBtn : public TControl {
  public:
    explicit TBitBtn(TControl* parent, TBitBtnKind kind = TBitBtnKind::bkCustom);
    // Takes ownership of the bitmap.
    void SetGlyph(HBITMAP glyph);
    TBitBtnKind Kind() const { return kind_; }
    // A close button closes its form; any other raises OnClick.
    void Click() override;

  protected:
    bool Reflected(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void Draw(const DRAWITEMSTRUCT& item);
    TBitBtnKind kind_;
    Bitmap glyph_;
};

// The library's own close glyph (normal and disabled), 16 x 16 pixels each.
HBITMAP MakeCloseGlyph();

} // namespace vcl
