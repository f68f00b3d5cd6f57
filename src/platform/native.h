// The host system's own implementations, defined by win32/ or posix/.
#pragma once

#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace platform {

Clock& NativeClock();
SystemInfo& NativeSystem();
Shell& NativeShell();
Registry& NativeRegistry();

}  // namespace platform
