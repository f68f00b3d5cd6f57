#include <windows.h>
// After <windows.h>, which it needs.
#include <iphlpapi.h>

#include <cstdlib>
#include <vector>

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
  DnsServerSettings DnsServers() override {
    DnsServerSettings settings;
    ULONG size = 0;
    if (GetNetworkParams(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return settings;
    std::vector<unsigned char> buffer;
    DWORD result = ERROR_BUFFER_OVERFLOW;
    // The size may grow between the two calls when the configuration changes.
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
      buffer.assign(size, 0);
      result = GetNetworkParams(reinterpret_cast<FIXED_INFO*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS) return settings;
    const auto* info = reinterpret_cast<const FIXED_INFO*>(buffer.data());
    if (info->CurrentDnsServer) settings.Current = AddressText(info->CurrentDnsServer->IpAddress);
    for (const IP_ADDR_STRING* item = &info->DnsServerList; item; item = item->Next) {
      std::string address = AddressText(item->IpAddress);
      if (!address.empty()) settings.Configured.push_back(address);
    }
    return settings;
  }
  int UtcOffsetMinutes() override {
    // UTC = local time + bias, with the bias of the season in force.
    TIME_ZONE_INFORMATION zone{};
    DWORD which = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    return which == TIME_ZONE_ID_INVALID ? 0 : static_cast<int>(-bias);
  }
  bool SetProcessorAffinity(bool firstProcessorOnly) override {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || system == 0)
      return false;
    DWORD_PTR mask = firstProcessorOnly ? (system & (~system + 1)) : system;
    return SetProcessAffinityMask(GetCurrentProcess(), mask) != 0;
  }
  uint64_t ProcessorAffinityMask() override {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system)) return 0;
    return static_cast<uint64_t>(process);
  }

 private:
  static std::string AddressText(const IP_ADDRESS_STRING& address) {
    size_t length = 0;
    while (length < sizeof address.String && address.String[length] != '\0')
      ++length;
    return std::string(address.String, length);
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
