// Fonts and brushes the windows of a backend share; made on first use and
// deleted with the cache, after the windows that use them.
#pragma once

#include <map>
#include <tuple>

#include "ui/color.h"
#include "ui/font.h"
#include "ui/win32/scale.h"
#include "ui/win32/win32_api.h"

namespace ui::win32 {

// The colour to draw: system colours resolved; kColorDefault gives fallback.
COLORREF ResolveColor(TColor color, COLORREF fallback);

class TGdiCache {
 public:
  explicit TGdiCache(TScale scale) : scale_(scale) {}
  ~TGdiCache();
  TGdiCache(const TGdiCache&) = delete;
  TGdiCache& operator=(const TGdiCache&) = delete;

  // nullptr only when the system refuses to make the font.
  HFONT Font(const TFont& font);
  HBRUSH Brush(COLORREF color);

 private:
  using TFontKey = std::tuple<std::string, int, bool, bool, bool>;
  TScale scale_;
  std::map<TFontKey, HFONT> fonts_;
  std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace ui::win32
