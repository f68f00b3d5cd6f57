#include "platform/console.h"

#include <windows.h>

namespace platform {

bool WriteStandardOutput(std::string_view text) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD chunk = text.size() > 65536 ? 65536 : static_cast<DWORD>(text.size());
    if (!WriteFile(output, text.data(), chunk, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace platform
