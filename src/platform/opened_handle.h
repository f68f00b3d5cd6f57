// A handle a system call opened, or the error code that kept it closed.
#pragma once

#include <cstdint>

namespace platform {

struct OpenedHandle {
  uintptr_t Handle = 0;
  uint32_t Error = 0;
  explicit operator bool() const { return Handle != 0; }
};

}  // namespace platform
