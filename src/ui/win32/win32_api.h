// The Windows headers of the window backend, and the bridge between the
// model's UTF-16 strings and the W functions (wchar_t is 16 bits on Windows).
#pragma once

#include <windows.h>
// Included after <windows.h>, which it needs.
#include <commctrl.h>

#include <string>
#include <string_view>

namespace ui::win32 {

inline const wchar_t* WidePtr(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// The whole text of a window.
inline std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, buffer.data(), length + 1);
  return FromWide(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

}  // namespace ui::win32
