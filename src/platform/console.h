// The process's standard output, for programs that report to whatever
// started them (a script, a deployment tool) rather than to a window.
#pragma once

#include <string_view>

namespace platform {

// Writes the text to the standard output handle as it is; false when there
// is none or the write failed. A window program has one only when its
// starter gave it one.
bool WriteStandardOutput(std::string_view text);

}  // namespace platform
