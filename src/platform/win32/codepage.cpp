#include "platform/codepage.h"

#include <windows.h>

namespace platform {

std::u16string AnsiToUtf16(std::string_view text) {
  if (text.empty()) return std::u16string();
  int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string result(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<wchar_t*>(result.data()), length);
  return result;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  if (text.empty()) return std::string();
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.data());
  int length =
      WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, "?", nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), result.data(), length, "?",
                      nullptr);
  return result;
}

std::string AnsiUpperCase(std::string_view text) {
  std::string result(text);
  if (!result.empty()) CharUpperBuffA(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

std::string AnsiLowerCase(std::string_view text) {
  std::string result(text);
  if (!result.empty()) CharLowerBuffA(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

}  // namespace platform
