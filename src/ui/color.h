// Colours as Windows keeps them (0x00BBGGRR), plus system colours and the
// colour a control takes from its class when it has none of its own.
#pragma once

#include <cstdint>

namespace ui {

using TColor = uint32_t;

constexpr TColor Rgb(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) |
         (static_cast<TColor>(blue) << 16);
}

// A system colour carries its GetSysColor index in the low byte.
constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr TColor SystemColor(uint8_t index) {
  return kSystemColorFlag | index;
}
constexpr bool IsSystemColor(TColor color) {
  return (color & kSystemColorFlag) != 0 && color != 0xFFFFFFFFu;
}

constexpr TColor kColorDefault = 0xFFFFFFFFu;  // the control class's own colour
constexpr TColor kColorWhite = Rgb(255, 255, 255);
constexpr TColor kColorBlack = Rgb(0, 0, 0);
constexpr TColor kColorBlue = Rgb(0, 0, 255);
constexpr TColor kColorWindow = SystemColor(5);
constexpr TColor kColorWindowText = SystemColor(8);
constexpr TColor kColorButtonFace = SystemColor(15);
constexpr TColor kColorButtonShadow = SystemColor(16);

}  // namespace ui
