#include <windows.h>

#include <cstdlib>

#include "platform/native.h"

namespace platform {
namespace {

std::string Folder(UINT (*query)(LPSTR, UINT)) {
  char buffer[MAX_PATH + 1];
  UINT length = query(buffer, sizeof buffer);
  return length && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

UINT TempPath(LPSTR buffer, UINT size) {
  return GetTempPathA(size, buffer);
}

class Win32System final : public SystemInfo {
 public:
  std::string TempFolder() override { return Folder(TempPath); }
  std::string WindowsFolder() override { return Folder(GetWindowsDirectoryA); }
  std::string SystemFolder() override { return Folder(GetSystemDirectoryA); }
  PlatformId Platform() override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return PlatformId::NT;
#pragma GCC diagnostic pop
    return static_cast<PlatformId>(info.dwPlatformId);
  }
  std::string ProgramPath() override {
    char buffer[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return length && length < sizeof buffer ? std::string(buffer, length) : std::string();
  }
  std::vector<std::string> Arguments() override {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
      arguments.emplace_back(__argv[i]);
    return arguments;
  }
};

}  // namespace

SystemInfo& NativeSystem() {
  static Win32System system;
  return system;
}

uint32_t CurrentThreadId() {
  return GetCurrentThreadId();
}

}  // namespace platform
