#include "support/utf8.h"

#include <cstdint>

#include "platform/codepage.h"

namespace {

bool InRange(std::string_view text, size_t at, unsigned low, unsigned high) {
  if (at >= text.size()) return false;
  unsigned c = static_cast<unsigned char>(text[at]);
  return c >= low && c <= high;
}

}  // namespace

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

size_t DecodeUtf8Sequence(std::string_view text, size_t at, uint32_t& code) {
  unsigned lead = static_cast<unsigned char>(text[at]);
  auto tail = [&](size_t i) { return static_cast<uint32_t>(text[at + i]) & 0x3F; };
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    if (!InRange(text, at + 1, 0x80, 0xBF)) return 0;
    code = ((lead & 0x1F) << 6) | tail(1);
    return 2;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
    unsigned high = lead == 0xED ? 0x9F : 0xBF;
    if (!InRange(text, at + 1, low, high) || !InRange(text, at + 2, 0x80, 0xBF)) return 0;
    code = ((lead & 0x0F) << 12) | (tail(1) << 6) | tail(2);
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    unsigned low = lead == 0xF0 ? 0x90 : 0x80;
    unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
    if (!InRange(text, at + 1, low, high) || !InRange(text, at + 2, 0x80, 0xBF) ||
        !InRange(text, at + 3, 0x80, 0xBF))
      return 0;
    code = ((lead & 0x07) << 18) | (tail(1) << 12) | (tail(2) << 6) | tail(3);
    return 4;
  }
  return 0;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code = 0;
    size_t length = DecodeUtf8Sequence(text, i, code);
    if (length == 0) {
      out += platform::AnsiToUtf16(text.substr(i, 1));
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t code = text[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    AppendUtf8(out, code);
  }
  return out;
}
