// A small machine for tests of the installer's service and server code: a
// service control manager, the processes it runs, the servers' pipes and
// windows, and COM libraries. Services started here get a process whose
// image is their binary path; terminating it stops the service, as the
// system's manager notices a dead service process. Every call is written to
// one journal, so tests can check the order of effects across interfaces,
// and any call can be made to fail with a chosen error code. It takes the
// place of the system's interfaces while it lives.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/com_libraries.h"
#include "platform/pipes.h"
#include "platform/processes.h"
#include "platform/services.h"
#include "platform/window_messages.h"

namespace platform {

class FakeServers final : public ServiceManager,
                          public Processes,
                          public Pipes,
                          public WindowMessages,
                          public ComLibraries {
 public:
  struct Service {
    ServiceConfig Config;
    uint32_t State = kServiceStopped;
    uint32_t ProcessId = 0;
    ServiceFailureActions FailureActions;
    bool HasFailureActions = false;
    // How the service behaves: stops after this many status queries that
    // follow a stop request, never stops, or dies right after a start.
    int StopAfterQueries = 0;
    bool IgnoresStop = false;
    bool FailsToStart = false;
    int StopQueriesLeft = -1;  // -1: no stop requested
  };

  // A server's end of a pipe: gets each 20-byte message, answers the bytes
  // it returns (nothing for no answer).
  using PipeServer = std::function<std::string(const std::string& message)>;
  struct Window {
    std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)> Handler;
    bool ClosesOnWmClose = true;
  };
  struct Library {
    bool HasEntries = true;
    int32_t Result = 0;
  };

  FakeServers();
  ~FakeServers() override;
  FakeServers(const FakeServers&) = delete;
  FakeServers& operator=(const FakeServers&) = delete;

  // Set-up and inspection; they bypass injected failures and the journal.
  Service& AddService(const std::string& name, const std::string& binaryPath,
                      uint32_t state = kServiceStopped, uint32_t startType = kServiceAutoStart);
  Service* FindService(const std::string& name);
  uint32_t AddProcess(const std::string& imagePath);
  bool ProcessRunning(uint32_t id) const { return processes_.count(id) != 0; }
  void AddPipe(const std::string& name, PipeServer server);
  // Every open of the pipe fails with ERROR_PIPE_BUSY until the clock
  // reaches this time (CurrentClock().MonotonicMs()).
  void SetPipeBusyUntil(const std::string& name, uint64_t monotonicMs);
  void AddWindow(const std::string& className, const std::string& title, Window window);
  bool HasWindow(const std::string& className, const std::string& title) const;
  void AddLibrary(const std::string& path, Library library);

  // The call named `operation` ("Open", "Start", "Control", "Create", "Delete",
  // "QueryStatus", "QueryConfig", "ChangeConfig", "OpenManager", "OpenPipe",
  // "Terminate", "Enumerate", ...) on `target` (a service, pipe or process
  // name; empty for any) fails with `code`.
  void InjectFailure(const std::string& operation, const std::string& target, uint32_t code);

  std::vector<std::string> Journal;
  // Journal lines that begin with the prefix, in order.
  std::vector<std::string> JournalWith(const std::string& prefix) const;
  int OpenHandleCount() const { return static_cast<int>(handles_.size()); }

  // ServiceManager
  ServiceOpen OpenManager(uint32_t access) override;
  ServiceOpen Open(ServiceHandle manager, const std::string& name, uint32_t access) override;
  ServiceOpen Create(ServiceHandle manager, const ServiceCreation& creation) override;
  uint32_t Delete(ServiceHandle service) override;
  uint32_t Start(ServiceHandle service) override;
  uint32_t Control(ServiceHandle service, uint32_t control) override;
  uint32_t QueryStatus(ServiceHandle service, ServiceStatus& status) override;
  uint32_t QueryConfig(ServiceHandle service, ServiceConfig& config) override;
  uint32_t ChangeConfig(ServiceHandle service, uint32_t serviceType, uint32_t startType,
                        uint32_t errorControl) override;
  uint32_t SetFailureActions(ServiceHandle service, const ServiceFailureActions& actions) override;
  void Close(ServiceHandle handle) override;

  // Processes
  std::optional<std::vector<ProcessEntry>> Enumerate() override;
  uint32_t EnableDebugPrivilege() override;
  uint32_t Terminate(uint32_t processId, uint32_t exitCode) override;

  // Pipes (Close is shared with the service handles)
  PipeOpen OpenNamedPipe(const std::string& path) override;
  bool WaitForPipe(const std::string& path, uint32_t timeoutMs) override;
  uint32_t Write(PipeHandle pipe, const void* data, uint32_t size, uint32_t& written) override;
  uint32_t Read(PipeHandle pipe, void* data, uint32_t size, uint32_t& read) override;
  std::optional<uint32_t> BytesAvailable(PipeHandle pipe) override;
  PipeHandle OpenServerMutex(const std::string& name) override;
  PipeHandle DuplicateFromProcess(uint32_t processId, uintptr_t handle) override;

  // WindowMessages
  TopWindow Find(const std::string& className, const std::string& title) override;
  intptr_t Send(TopWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;

  // ComLibraries
  LibraryEntryCall CallEntry(const std::string& path, const std::string& entry) override;

 private:
  enum class HandleKind { Manager, Service, Pipe };
  struct Handle {
    HandleKind Kind;
    uint32_t Access = 0;
    std::string Name;
    std::string Written;  // pipe: bytes not yet handed to the server
    std::string Reply;    // pipe: bytes the server answered
  };
  std::optional<uint32_t> Failure(const std::string& operation, const std::string& target) const;
  Handle* HandleOf(uintptr_t handle, HandleKind kind);
  Service* ServiceOf(uintptr_t handle, uint32_t neededAccess, uint32_t& error);
  uintptr_t NewHandle(Handle handle);
  void Log(const std::string& line) { Journal.push_back(line); }

  std::map<std::string, Service> services_;  // by lower-case name
  std::map<uint32_t, std::string> processes_;
  std::map<std::string, PipeServer> pipes_;  // by lower-case name
  std::map<std::string, uint64_t> pipeBusyUntil_;
  std::map<std::pair<std::string, std::string>, Window> windows_;
  std::map<std::string, Library> libraries_;  // by lower-case path
  std::map<std::pair<std::string, std::string>, uint32_t> failures_;
  std::map<uintptr_t, Handle> handles_;
  uintptr_t nextHandle_ = 0x100;
  uint32_t nextProcessId_ = 1000;

  ServiceManager* previousManager_;
  Processes* previousProcesses_;
  Pipes* previousPipes_;
  WindowMessages* previousWindows_;
  ComLibraries* previousLibraries_;
};

}  // namespace platform
