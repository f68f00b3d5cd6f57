#include "support/xml_text.h"

#include <array>

#include "platform/codepage.h"
#include "support/config_text.h"

namespace {

bool HasHighBytes(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// True when text at `at` starts with `name` (lower case), ignoring case.
bool StartsWithNoCase(std::string_view text, size_t at, std::string_view name) {
  if (text.size() - at < name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (LowerAscii(text[at + i]) != name[i]) return false;
  return true;
}

bool IsDigit(char c, bool hex) {
  if (c >= '0' && c <= '9') return true;
  return hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
}

struct NamedEntity {
  std::string_view Name;  // without the '&', with the ';'
  char Value;
};

constexpr std::array<NamedEntity, 6> kNamedEntities = {{
    {"amp;", '&'},
    {"quot;", '"'},
    {"apos;", '\''},
    {"lt;", '<'},
    {"gt;", '>'},
    {"nbsp;", ' '},
}};

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

bool InRange(std::string_view text, size_t at, unsigned low, unsigned high) {
  if (at >= text.size()) return false;
  unsigned c = static_cast<unsigned char>(text[at]);
  return c >= low && c <= high;
}

// Length of the well-formed UTF-8 sequence at `at` (overlong forms and
// surrogates excluded) and its code point; 0 when there is none.
size_t DecodeUtf8(std::string_view text, size_t at, uint32_t& code) {
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

}  // namespace

std::string EscapeXMLEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string DecodeXMLEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '&') {
      out.push_back(text[i++]);
      continue;
    }
    bool decoded = false;
    for (const NamedEntity& entity : kNamedEntities) {
      if (StartsWithNoCase(text, i + 1, entity.Name)) {
        out.push_back(entity.Value);
        i += 1 + entity.Name.size();
        decoded = true;
        break;
      }
    }
    if (!decoded && i + 1 < text.size() && text[i + 1] == '#') {
      size_t j = i + 2;
      bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
      if (hex) ++j;
      size_t digits = j;
      while (j < text.size() && IsDigit(text[j], hex))
        ++j;
      if (j > digits && j < text.size() && text[j] == ';') {
        int32_t value = StrToIntLoose(text.substr(i + 2, j - i - 2));
        out.push_back(static_cast<char>(static_cast<uint32_t>(value) & 0xFF));
        i = j + 1;
        decoded = true;
      }
    }
    if (!decoded) out.push_back(text[i++]);
  }
  return out;
}

std::string AnsiToUtf8(std::string_view text) {
  if (!HasHighBytes(text)) return std::string(text);
  std::u16string wide = platform::AnsiToUtf16(text);
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  for (size_t i = 0; i < wide.size(); ++i) {
    uint32_t code = wide[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(out, code);
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view text) {
  if (!HasHighBytes(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::u16string pending;
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code = 0;
    size_t length = DecodeUtf8(text, i, code);
    if (length == 0) {
      // Not UTF-8: the byte is ANSI text already.
      out += platform::Utf16ToAnsi(pending);
      pending.clear();
      out.push_back(text[i++]);
      continue;
    }
    // No ANSI code page holds a character beyond U+FFFF: one '?' for it,
    // whatever the system would make of its surrogate pair.
    pending.push_back(code >= 0x10000 ? u'?' : static_cast<char16_t>(code));
    i += length;
  }
  out += platform::Utf16ToAnsi(pending);
  return out;
}

std::string EncodeXMLText(std::string_view text, TXMLMode mode) {
  switch (mode) {
    case kXMLEntitiesUtf8:
      return AnsiToUtf8(EscapeXMLEntities(text));
    case kXMLEntities:
      return EscapeXMLEntities(text);
    case kXMLUtf8:
      return AnsiToUtf8(text);
    default:
      return std::string(text);
  }
}

std::string DecodeXMLText(std::string_view text, TXMLMode mode) {
  switch (mode) {
    case kXMLEntitiesUtf8:
      return DecodeXMLEntities(Utf8ToAnsi(text));
    case kXMLEntities:
      return DecodeXMLEntities(text);
    case kXMLUtf8:
      return Utf8ToAnsi(text);
    default:
      return std::string(text);
  }
}

std::string BoolToXMLText(bool value) {
  return value ? "1" : "0";
}

bool XMLTextToBool(std::string_view text) {
  return text == "1" || (text.size() == 4 && StartsWithNoCase(text, 0, "true"));
}

std::string IntToXMLText(int64_t value) {
  return value == 0 ? std::string() : std::to_string(value);
}
