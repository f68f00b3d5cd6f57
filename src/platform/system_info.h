// Facts about the running system and process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// As GetVersionEx reports it; NT runs the suite's servers as services.
enum class PlatformId { Win32s = 0, Windows = 1, NT = 2 };

// The name servers of the network parameters: the one currently in use (empty
// when the system names none) and the configured list, in order.
struct DnsServerSettings {
  std::string Current;
  std::vector<std::string> Configured;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // Folders as the system reports them, possibly empty or untrimmed.
  virtual std::string TempFolder() = 0;
  virtual std::string WindowsFolder() = 0;
  virtual std::string SystemFolder() = 0;
  virtual PlatformId Platform() = 0;
  // Full path of the running program.
  virtual std::string ProgramPath() = 0;
  // Command-line arguments after the program name.
  virtual std::vector<std::string> Arguments() = 0;
  // Windows: GetNetworkParams; POSIX: the nameserver lines of /etc/resolv.conf.
  virtual DnsServerSettings DnsServers() = 0;
  // Local time minus UTC now, in minutes (daylight saving included).
  virtual int UtcOffsetMinutes() = 0;
  // Restricts every thread of the process to its first processor, or allows
  // all processors again. False when the system refuses.
  virtual bool SetProcessorAffinity(bool firstProcessorOnly) = 0;
  // The processors the process may run on, one bit each (processor 0 lowest).
  virtual uint64_t ProcessorAffinityMask() = 0;
};

SystemInfo& CurrentSystem();
SystemInfo* InstallSystem(SystemInfo* system);

uint32_t CurrentThreadId();

}  // namespace platform
