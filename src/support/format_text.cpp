#include "support/format_text.h"

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(pattern.size());
  auto next = values.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 == pattern.size()) {
      out += pattern[i];
      continue;
    }
    const char kind = pattern[i + 1];
    if (kind == 's' || kind == 'S') {
      if (next != values.end()) out += *next++;
      ++i;
    } else if (kind == '%') {
      out += '%';
      ++i;
    } else {
      out += '%';
    }
  }
  return out;
}
