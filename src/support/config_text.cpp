#include "support/config_text.h"

#include "support/text.h"

namespace {

// Cuts the line at the first marker that is not doubled; each doubled marker
// loses one copy. Returns false when no marker ended the line.
bool CutAtMarker(std::string& line, std::string_view marker) {
  size_t from = 0;
  for (;;) {
    size_t at = line.find(marker, from);
    if (at == std::string::npos) return false;
    size_t after = at + marker.size();
    if (after < line.size() && line[after] == marker[0]) {
      line.erase(at, marker.size());
      from = at + 1;
      continue;
    }
    line = Trim(std::string_view(line).substr(0, at));
    return true;
  }
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string StripComments(std::string_view text) {
  std::string line(text);
  if (line.find("// ") != std::string::npos) CutAtMarker(line, "// ");
  if (line.find('#') != std::string::npos) CutAtMarker(line, "#");
  size_t open = line.find("/*");
  if (open != std::string::npos) {
    // A block without its end runs to the end of the line.
    size_t close = line.find("*/", open + 2);
    size_t end = close == std::string::npos ? line.size() : close + 2;
    line.erase(open, end - open);
    line = Trim(line);
  }
  return line;
}

int32_t StrToIntLoose(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  uint32_t value = 0;
  size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    int digit = DigitValue(text[i], hex);
    if (digit < 0) break;
    value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(digit);
  }
  if (digits == 0) return 0;
  if (i < text.size()) return static_cast<int32_t>(value);
  return static_cast<int32_t>(negative ? 0u - value : value);
}
