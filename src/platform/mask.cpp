#include <cctype>
#include <string>

#include "platform/files.h"

namespace platform {
namespace {

char Fold(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Iterative glob with the last star remembered: linear-ish and never recursive.
bool Glob(const std::string& name, const std::string& mask) {
  size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*')
    ++m;
  return m == mask.size();
}

}  // namespace

bool MaskMatches(const std::string& name, const std::string& mask) {
  if (mask.empty() || mask == "*" || mask == "*.*") return true;
  if (Glob(name, mask)) return true;
  // "name." asks for the name without extension; "*." for names without one.
  if (mask.back() == '.' && name.find('.') == std::string::npos)
    return Glob(name, mask.substr(0, mask.size() - 1));
  // "x.*" also finds "x" itself, as the Windows search does.
  if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos)
    return Glob(name, mask.substr(0, mask.size() - 2));
  return false;
}

}  // namespace platform
