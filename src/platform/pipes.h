// Pipes to the suite's servers: named pipes on the NT family; on other
// families the anonymous pipe handles a server publishes, guarded by a mutex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// An open pipe, mutex or duplicated handle; 0 is none.
using PipeHandle = uintptr_t;

inline constexpr uint32_t kErrorPipeBusy = 231;  // ERROR_PIPE_BUSY

struct PipeOpen {
  PipeHandle Handle = 0;
  uint32_t Error = 0;
  explicit operator bool() const { return Handle != 0; }
};

class Pipes {
 public:
  virtual ~Pipes() = default;
  // CreateFileA on the path for reading and writing, no sharing, an existing
  // pipe only, and the server allowed only to identify the caller.
  virtual PipeOpen OpenNamedPipe(const std::string& path) = 0;
  // WaitNamedPipeA: true when an instance became free within the time.
  virtual bool WaitForPipe(const std::string& path, uint32_t timeoutMs) = 0;
  // One WriteFile / ReadFile; 0 or the system's error code.
  virtual uint32_t Write(PipeHandle pipe, const void* data, uint32_t size, uint32_t& written) = 0;
  virtual uint32_t Read(PipeHandle pipe, void* data, uint32_t size, uint32_t& read) = 0;
  // Bytes waiting to be read without blocking; nullopt when the pipe broke.
  virtual std::optional<uint32_t> BytesAvailable(PipeHandle pipe) = 0;
  // OpenMutexA with every right; 0 when there is none.
  virtual PipeHandle OpenServerMutex(const std::string& name) = 0;
  // DuplicateHandle of another process's handle into this one, same access.
  virtual PipeHandle DuplicateFromProcess(uint32_t processId, uintptr_t handle) = 0;
  virtual void Close(PipeHandle handle) = 0;
};

Pipes& CurrentPipes();
Pipes* InstallPipes(Pipes* pipes);

}  // namespace platform
