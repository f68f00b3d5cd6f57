#include "ui/win32/gdi_cache.h"

#include <string>

#include "platform/codepage.h"

namespace ui::win32 {

COLORREF ResolveColor(TColor color, COLORREF fallback) {
  if (color == kColorDefault) return fallback;
  if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0x00FFFFFF);
}

TGdiCache::~TGdiCache() {
  for (auto& [key, font] : fonts_)
    DeleteObject(font);
  for (auto& [key, brush] : brushes_)
    DeleteObject(brush);
}

HFONT TGdiCache::Font(const TFont& font) {
  const int points = font.Size > 0 ? font.Size : 8;
  const TFontKey key{font.Name, points, font.Bold, font.Italic, font.Underline};
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;
  LOGFONTW description{};
  description.lfHeight = scale_.FontHeight(points);
  description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = font.Italic ? TRUE : FALSE;
  description.lfUnderline = font.Underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  std::u16string name = platform::AnsiToUtf16(font.Name.empty() ? "Tahoma" : font.Name);
  if (name.size() >= LF_FACESIZE) name.resize(LF_FACESIZE - 1);
  name.copy(reinterpret_cast<char16_t*>(description.lfFaceName), name.size());
  HFONT made = CreateFontIndirectW(&description);
  if (made) fonts_.emplace(key, made);
  return made;
}

HBRUSH TGdiCache::Brush(COLORREF color) {
  auto found = brushes_.find(color);
  if (found != brushes_.end()) return found->second;
  HBRUSH brush = CreateSolidBrush(color);
  if (brush) brushes_.emplace(color, brush);
  return brush;
}

}  // namespace ui::win32
