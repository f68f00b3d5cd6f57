#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include "platform/native.h"

namespace platform {
namespace {

std::string ImagePathOf(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return {};
  char path[MAX_PATH * 2] = {};
  DWORD size = sizeof path;
  std::string result;
  if (QueryFullProcessImageNameA(process, 0, path, &size)) result.assign(path, size);
  CloseHandle(process);
  return result;
}

class WindowsProcesses final : public Processes {
 public:
  std::optional<std::vector<ProcessEntry>> Enumerate() override {
    // The list grows until the system's fits with room to spare.
    std::vector<DWORD> ids(1024);
    DWORD bytes = 0;
    for (;;) {
      if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes))
        return std::nullopt;
      if (bytes < ids.size() * sizeof(DWORD)) break;
      ids.resize(ids.size() * 2);
    }
    ids.resize(bytes / sizeof(DWORD));
    std::vector<ProcessEntry> entries;
    for (DWORD id : ids)
      entries.push_back({id, ImagePathOf(id)});
    return entries;
  }

  uint32_t EnableDebugPrivilege() override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
      return GetLastError();
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    uint32_t result = 0;
    if (!LookupPrivilegeValueA(nullptr, "SeDebugPrivilege", &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr))
      result = GetLastError();
    else
      result = GetLastError();  // ERROR_NOT_ALL_ASSIGNED comes with success
    CloseHandle(token);
    return result;
  }

  uint32_t Terminate(uint32_t processId, uint32_t exitCode) override {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    if (!process) return GetLastError();
    uint32_t result = TerminateProcess(process, exitCode) ? 0 : GetLastError();
    // The process is gone only once the system says so; wait briefly for it.
    if (result == 0) WaitForSingleObject(process, 5000);
    CloseHandle(process);
    return result;
  }
};

}  // namespace

Processes& NativeProcesses() {
  static WindowsProcesses processes;
  return processes;
}

}  // namespace platform
