// Running processes: list them, terminate one, and the debug privilege that
// lets the installer end processes of other accounts (a service's).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ProcessEntry {
  uint32_t Id = 0;
  // The full path of the process's program; empty when it cannot be read.
  std::string ImagePath;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Every process the system lists; nullopt when it cannot list them.
  virtual std::optional<std::vector<ProcessEntry>> Enumerate() = 0;
  // Enables SeDebugPrivilege for this process; 0 or the system's error code.
  virtual uint32_t EnableDebugPrivilege() = 0;
  // Opens the process for termination, ends it with the exit code and closes
  // it; 0 or the system's error code.
  virtual uint32_t Terminate(uint32_t processId, uint32_t exitCode) = 0;
};

Processes& CurrentProcesses();
Processes* InstallProcesses(Processes* processes);

}  // namespace platform
