// Owning wrappers for GDI objects and a minimal canvas for paint operations.
#pragma once

#include "vcl/types.h"

#include <windows.h>

namespace vcl {

// Owns one GDI object (font, brush, bitmap) and deletes it when replaced or destroyed.
template <class Handle> class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle h) : h_(h) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& o) noexcept : h_(o.release()) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    Handle get() const { return h_; }
    Handle release() {
        Handle h = h_;
        h_ = nullptr;
        return h;
    }
    void reset(Handle h = nullptr) {
        if (h_)
            DeleteObject(h_);
        h_ = h;
    }

  private:
    Handle h_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

Font MakeFont(const TFont& font);

// What a paint operation draws with: the device context and a brush colour, as a canvas offers.
class TCanvas {
  public:
    explicit TCanvas(HDC dc) : dc_(dc) {}
    HDC Handle() const { return dc_; }
    TColor BrushColor = clBtnFace;
    void FillRect(const RECT& r);

  private:
    HDC dc_;
};

} // namespace vcl
