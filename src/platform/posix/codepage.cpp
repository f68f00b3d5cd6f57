// Windows-1252, the ANSI code page that POSIX builds stand in for.
#include "platform/codepage.h"

#include <array>
#include <cstdint>

namespace platform {
namespace {

// Code points of 0x80..0x9F; the five unassigned bytes map to themselves,
// as MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ToUnicode(unsigned char c) {
  if (c >= 0x80 && c < 0xA0) return kHigh[c - 0x80];
  return c;
}

int FromUnicode(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<int>(0x80 + i);
  return -1;
}

unsigned char Upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A:
      return 0x8A;
    case 0x9C:
      return 0x8C;
    case 0x9E:
      return 0x8E;
    case 0xFF:
      return 0x9F;
  }
  return c;
}

unsigned char Lower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
  }
  return c;
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  for (char c : text)
    result.push_back(ToUnicode(static_cast<unsigned char>(c)));
  return result;
}

std::string Utf16ToAnsi(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    // A surrogate pair is one character without an ANSI form.
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000)
      ++i;
    int byte = FromUnicode(c);
    result.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return result;
}

std::string AnsiUpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
  return result;
}

std::string AnsiLowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = static_cast<char>(Lower(static_cast<unsigned char>(c)));
  return result;
}

}  // namespace platform
