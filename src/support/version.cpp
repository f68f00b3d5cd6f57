#include "support/version.h"

#include <string>

#include "support/config_text.h"
#include "support/fields.h"
#include "support/text.h"

int32_t VersionNumber(std::string_view text) {
  std::string version = ShortString(text);
  auto part = [](std::string_view field) { return static_cast<uint32_t>(StrToIntLoose(field)); };
  uint32_t major = part(GetField(version, 0, '.'));
  uint32_t minor = part(GetField(version, 1, '.'));
  std::string rest = GetField(version, 2, '.');
  uint32_t patch = part(GetField(rest, 0, '-'));
  uint32_t build = part(GetField(rest, 1, '-'));
  return static_cast<int32_t>(major * 1000000u + minor * 10000u + patch * 100u + build);
}

bool VersionAtLeast(std::string_view a, std::string_view b) {
  return static_cast<uint32_t>(VersionNumber(a)) >= static_cast<uint32_t>(VersionNumber(b));
}
