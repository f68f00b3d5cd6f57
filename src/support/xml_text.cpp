#include "support/xml_text.h"

#include <array>

#include "platform/codepage.h"
#include "support/config_text.h"
#include "support/utf8.h"

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
  return Utf16ToUtf8(platform::AnsiToUtf16(text));
}

std::string Utf8ToAnsi(std::string_view text) {
  if (!HasHighBytes(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::u16string pending;
  size_t i = 0;
  while (i < text.size()) {
    uint32_t code = 0;
    size_t length = DecodeUtf8Sequence(text, i, code);
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
