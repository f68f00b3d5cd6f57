// Facts about the running system and process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// As GetVersionEx reports it; NT runs the suite's servers as services.
enum class PlatformId { Win32s = 0, Windows = 1, NT = 2 };

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
};

SystemInfo& CurrentSystem();
SystemInfo* InstallSystem(SystemInfo* system);

uint32_t CurrentThreadId();

}  // namespace platform
