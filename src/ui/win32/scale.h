// The model measures in pixels at 96 DPI; windows are measured at the
// screen's DPI.
#pragma once

#include "ui/win32/win32_api.h"

namespace ui::win32 {

class TScale {
 public:
  explicit TScale(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}
  int Dpi() const { return dpi_; }
  int ToScreen(int value) const { return MulDiv(value, dpi_, 96); }
  int ToModel(int value) const { return MulDiv(value, 96, dpi_); }
  // A font's height for CreateFont: negative, so that it is the character
  // height without the internal leading, as points mean it.
  int FontHeight(int points) const { return -MulDiv(points, dpi_, 72); }

 private:
  int dpi_;
};

// LOGPIXELSY of the screen.
inline int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace ui::win32
