// Shared by both implementations: the system's error text, trimmed as the
// installer shows it (no trailing blanks, line breaks or full stop).
#pragma once

#include <string>

namespace platform {

inline std::string TrimErrorText(std::string text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.'))
    text.pop_back();
  return text;
}

}  // namespace platform
