// Version strings major.minor.patch-build, such as "9.1.5-7".
#pragma once

#include <cstdint>
#include <string_view>

// major * 1000000 + minor * 10000 + patch * 100 + build, wrapping at 32 bits.
int32_t VersionNumber(std::string_view version);
// VersionNumber(a) >= VersionNumber(b), compared as unsigned numbers.
bool VersionAtLeast(std::string_view a, std::string_view b);
