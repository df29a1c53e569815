// Basic value types shared by the controls: colours, fonts, alignment and event signatures.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vcl {

// The common base of everything that can send an event.
class TObject {
  public:
    virtual ~TObject() = default;
};

// A colour is an RGB value, or a system colour index tagged with the high bit.
using TColor = DWORD;
constexpr TColor SystemColor(int index) {
    return 0x80000000u | static_cast<DWORD>(index);
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clNavy = 0x800000; // COLORREF byte order: 0x00BBGGRR
constexpr TColor clTeal = 0x808000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);

COLORREF ColorToRGB(TColor color);

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = -11; // pixels; negative means character height without internal leading
    bool Bold = false;
    TColor Color = clWindowText;
};

enum class TAlign { alNone, alBottom, alClient };

using TNotifyEvent = std::function<void(TObject* sender)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

} // namespace vcl
