// Top-level windows of other programs, found by class and title and sent
// messages: how the installer reaches servers that run as desktop programs.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

using TopWindow = uintptr_t;  // 0 is none

inline constexpr uint32_t kWmClose = 0x0010;  // WM_CLOSE

class WindowMessages {
 public:
  virtual ~WindowMessages() = default;
  // FindWindowA; 0 when none matches.
  virtual TopWindow Find(const std::string& className, const std::string& title) = 0;
  // SendMessageA; its result.
  virtual intptr_t Send(TopWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

WindowMessages& CurrentWindowMessages();
WindowMessages* InstallWindowMessages(WindowMessages* windows);

}  // namespace platform
