// The host system's own implementations, defined by win32/ or posix/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/automation.h"
#include "platform/clock.h"
#include "platform/com_libraries.h"
#include "platform/pipes.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/window_messages.h"

namespace platform {

Clock& NativeClock();
SystemInfo& NativeSystem();
Shell& NativeShell();
Registry& NativeRegistry();
ServiceManager& NativeServiceManager();
Processes& NativeProcesses();
Pipes& NativePipes();
WindowMessages& NativeWindowMessages();
ComLibraries& NativeComLibraries();
Automation& NativeAutomation();

#ifndef _WIN32
// The addresses of the "nameserver" lines of a resolv.conf text, in order.
std::vector<std::string> ResolvConfNameservers(std::string_view text);
#endif

}  // namespace platform
