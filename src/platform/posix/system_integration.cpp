// The service control manager, processes, server pipes, top-level windows and
// COM libraries are Windows concepts: on POSIX every call fails as a system
// without them would, and the portable code is tested against the fakes.
#include "platform/native.h"

namespace platform {
namespace {

class NoServiceManager final : public ServiceManager {
 public:
  ServiceOpen OpenManager(uint32_t) override { return {0, kErrorNotImplemented}; }
  ServiceOpen Open(ServiceHandle, const std::string&, uint32_t) override {
    return {0, kErrorNotImplemented};
  }
  ServiceOpen Create(ServiceHandle, const ServiceCreation&) override {
    return {0, kErrorNotImplemented};
  }
  uint32_t Delete(ServiceHandle) override { return kErrorNotImplemented; }
  uint32_t Start(ServiceHandle) override { return kErrorNotImplemented; }
  uint32_t Control(ServiceHandle, uint32_t) override { return kErrorNotImplemented; }
  uint32_t QueryStatus(ServiceHandle, ServiceStatus&) override { return kErrorNotImplemented; }
  uint32_t QueryConfig(ServiceHandle, ServiceConfig&) override { return kErrorNotImplemented; }
  uint32_t ChangeConfig(ServiceHandle, uint32_t, uint32_t, uint32_t) override {
    return kErrorNotImplemented;
  }
  uint32_t SetFailureActions(ServiceHandle, const ServiceFailureActions&) override {
    return kErrorProcNotFound;
  }
  void Close(ServiceHandle) override {}
};

class NoProcesses final : public Processes {
 public:
  std::optional<std::vector<ProcessEntry>> Enumerate() override { return std::nullopt; }
  uint32_t EnableDebugPrivilege() override { return kErrorNotImplemented; }
  uint32_t Terminate(uint32_t, uint32_t) override { return kErrorNotImplemented; }
};

class NoPipes final : public Pipes {
 public:
  PipeOpen OpenNamedPipe(const std::string&) override { return {0, kErrorNotImplemented}; }
  bool WaitForPipe(const std::string&, uint32_t) override { return false; }
  uint32_t Write(PipeHandle, const void*, uint32_t, uint32_t& written) override {
    written = 0;
    return kErrorNotImplemented;
  }
  uint32_t Read(PipeHandle, void*, uint32_t, uint32_t& read) override {
    read = 0;
    return kErrorNotImplemented;
  }
  std::optional<uint32_t> BytesAvailable(PipeHandle) override { return std::nullopt; }
  PipeHandle OpenServerMutex(const std::string&) override { return 0; }
  PipeHandle DuplicateFromProcess(uint32_t, uintptr_t) override { return 0; }
  void Close(PipeHandle) override {}
};

class NoWindowMessages final : public WindowMessages {
 public:
  TopWindow Find(const std::string&, const std::string&) override { return 0; }
  intptr_t Send(TopWindow, uint32_t, uintptr_t, intptr_t) override { return 0; }
};

class NoAutomation final : public Automation {
 public:
  int32_t Initialize() override { return kNotImplemented; }
  AutomationCreation Create(const std::string&) override {
    return {0, kNotImplemented, "COM is not available on this system"};
  }
  AutomationCall Invoke(AutomationObject, const std::string&, InvokeKind,
                        std::vector<AutomationValue>&) override {
    return {kNotImplemented, "COM is not available on this system", {}};
  }
  void Release(AutomationObject) override {}

 private:
  static constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001);  // E_NOTIMPL
};

class NoComLibraries final : public ComLibraries {
 public:
  LibraryEntryCall CallEntry(const std::string&, const std::string&) override { return {}; }
};

}  // namespace

ServiceManager& NativeServiceManager() {
  static NoServiceManager manager;
  return manager;
}
Processes& NativeProcesses() {
  static NoProcesses processes;
  return processes;
}
Pipes& NativePipes() {
  static NoPipes pipes;
  return pipes;
}
WindowMessages& NativeWindowMessages() {
  static NoWindowMessages windows;
  return windows;
}
ComLibraries& NativeComLibraries() {
  static NoComLibraries libraries;
  return libraries;
}

Automation& NativeAutomation() {
  static NoAutomation automation;
  return automation;
}

}  // namespace platform
