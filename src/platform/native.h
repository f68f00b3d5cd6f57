// The host system's own implementations, defined by win32/ or posix/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace platform {

Clock& NativeClock();
SystemInfo& NativeSystem();
Shell& NativeShell();
Registry& NativeRegistry();

#ifndef _WIN32
// The addresses of the "nameserver" lines of a resolv.conf text, in order.
std::vector<std::string> ResolvConfNameservers(std::string_view text);
#endif

}  // namespace platform
