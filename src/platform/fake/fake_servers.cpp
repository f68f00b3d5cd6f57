#include "platform/fake/fake_servers.h"

#include <algorithm>
#include <cstring>

#include "platform/clock.h"
#include "platform/registry.h"

namespace platform {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The program a binary path names: the quoted part, or all of it.
std::string ImageOfBinaryPath(const std::string& path) {
  if (path.size() >= 2 && path.front() == '"') {
    size_t end = path.find('"', 1);
    return path.substr(1, end == std::string::npos ? std::string::npos : end - 1);
  }
  return path;
}

constexpr const char* kPipePrefix = "\\\\.\\pipe\\";
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorBrokenPipe = 109;
constexpr uint32_t kErrorServiceNotActive = 1062;
constexpr uint32_t kErrorServiceAlreadyRunning = 1056;
constexpr uint32_t kErrorServiceMarkedForDelete = 1072;
constexpr uint32_t kErrorInvalidParameter = 87;

}  // namespace

FakeServers::FakeServers()
    : previousManager_(InstallServiceManager(this)),
      previousProcesses_(InstallProcesses(this)),
      previousPipes_(InstallPipes(this)),
      previousWindows_(InstallWindowMessages(this)),
      previousLibraries_(InstallComLibraries(this)) {}

FakeServers::~FakeServers() {
  InstallServiceManager(previousManager_);
  InstallProcesses(previousProcesses_);
  InstallPipes(previousPipes_);
  InstallWindowMessages(previousWindows_);
  InstallComLibraries(previousLibraries_);
}

FakeServers::Service& FakeServers::AddService(const std::string& name,
                                              const std::string& binaryPath, uint32_t state,
                                              uint32_t startType) {
  Service& service = services_[Lower(name)];
  service.Config = {kServiceOwnProcess, startType, kServiceErrorNormal, binaryPath, name};
  service.State = state;
  if (state == kServiceRunning) service.ProcessId = AddProcess(ImageOfBinaryPath(binaryPath));
  return service;
}

FakeServers::Service* FakeServers::FindService(const std::string& name) {
  auto found = services_.find(Lower(name));
  return found == services_.end() ? nullptr : &found->second;
}

uint32_t FakeServers::AddProcess(const std::string& imagePath) {
  uint32_t id = nextProcessId_;
  nextProcessId_ += 4;
  processes_[id] = imagePath;
  return id;
}

void FakeServers::AddPipe(const std::string& name, PipeServer server) {
  pipes_[Lower(name)] = std::move(server);
}

void FakeServers::SetPipeBusyUntil(const std::string& name, uint64_t monotonicMs) {
  pipeBusyUntil_[Lower(name)] = monotonicMs;
}

void FakeServers::AddWindow(const std::string& className, const std::string& title, Window window) {
  windows_[{className, title}] = std::move(window);
}

bool FakeServers::HasWindow(const std::string& className, const std::string& title) const {
  return windows_.count({className, title}) != 0;
}

void FakeServers::AddLibrary(const std::string& path, Library library) {
  libraries_[Lower(path)] = library;
}

void FakeServers::InjectFailure(const std::string& operation, const std::string& target,
                                uint32_t code) {
  failures_[{operation, Lower(target)}] = code;
}

std::optional<uint32_t> FakeServers::Failure(const std::string& operation,
                                             const std::string& target) const {
  auto found = failures_.find({operation, Lower(target)});
  if (found == failures_.end()) found = failures_.find({operation, ""});
  if (found == failures_.end()) return std::nullopt;
  return found->second;
}

std::vector<std::string> FakeServers::JournalWith(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : Journal)
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  return lines;
}

uintptr_t FakeServers::NewHandle(Handle handle) {
  uintptr_t id = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(id, std::move(handle));
  return id;
}

FakeServers::Handle* FakeServers::HandleOf(uintptr_t handle, HandleKind kind) {
  auto found = handles_.find(handle);
  if (found == handles_.end() || found->second.Kind != kind) return nullptr;
  return &found->second;
}

FakeServers::Service* FakeServers::ServiceOf(uintptr_t handle, uint32_t neededAccess,
                                             uint32_t& error) {
  Handle* open = HandleOf(handle, HandleKind::Service);
  if (!open) {
    error = kErrorInvalidHandle;
    return nullptr;
  }
  if ((open->Access & neededAccess) != neededAccess) {
    error = kErrorAccessDenied;
    return nullptr;
  }
  Service* service = FindService(open->Name);
  if (!service) error = kErrorServiceMarkedForDelete;
  return service;
}

ServiceOpen FakeServers::OpenManager(uint32_t access) {
  Log("OpenManager " + std::to_string(access));
  if (auto code = Failure("OpenManager", "")) return {0, *code};
  return {NewHandle({HandleKind::Manager, access, {}, {}, {}}), 0};
}

ServiceOpen FakeServers::Open(ServiceHandle manager, const std::string& name, uint32_t access) {
  Log("Open " + name + " " + std::to_string(access));
  if (!HandleOf(manager, HandleKind::Manager)) return {0, kErrorInvalidHandle};
  if (auto code = Failure("Open", name)) return {0, *code};
  if (!FindService(name)) return {0, kErrorServiceDoesNotExist};
  return {NewHandle({HandleKind::Service, access, name, {}, {}}), 0};
}

ServiceOpen FakeServers::Create(ServiceHandle manager, const ServiceCreation& c) {
  Log("Create " + c.Name + " " + c.BinaryPath);
  if (!HandleOf(manager, HandleKind::Manager)) return {0, kErrorInvalidHandle};
  if (auto code = Failure("Create", c.Name)) return {0, *code};
  if (FindService(c.Name)) return {0, kErrorServiceExists};
  Service& service = services_[Lower(c.Name)];
  service.Config = {c.ServiceType, c.StartType, c.ErrorControl, c.BinaryPath, c.DisplayName};
  return {NewHandle({HandleKind::Service, c.Access, c.Name, {}, {}}), 0};
}

uint32_t FakeServers::Delete(ServiceHandle handle) {
  uint32_t error = 0;
  Service* service = ServiceOf(handle, 0, error);
  Log("Delete " + (service ? service->Config.DisplayName : std::string("?")));
  if (!service) return error;
  const std::string name = HandleOf(handle, HandleKind::Service)->Name;
  if (auto code = Failure("Delete", name)) return *code;
  services_.erase(Lower(name));
  return 0;
}

uint32_t FakeServers::Start(ServiceHandle handle) {
  uint32_t error = 0;
  Service* service = ServiceOf(handle, kServiceStart, error);
  const std::string name = service ? HandleOf(handle, HandleKind::Service)->Name : "?";
  Log("Start " + name);
  if (!service) return error;
  if (auto code = Failure("Start", name)) return *code;
  if (service->Config.StartType == kServiceDisabled) return 1058;  // ERROR_SERVICE_DISABLED
  if (service->State != kServiceStopped) return kErrorServiceAlreadyRunning;
  if (service->FailsToStart) return 0;  // it ends at once, as a broken program does
  service->State = kServiceRunning;
  service->ProcessId = AddProcess(ImageOfBinaryPath(service->Config.BinaryPath));
  service->StopQueriesLeft = -1;
  return 0;
}

uint32_t FakeServers::Control(ServiceHandle handle, uint32_t control) {
  uint32_t error = 0;
  Service* service = ServiceOf(handle, control == kServiceControlStop ? kServiceStop : 0, error);
  const std::string name = service ? HandleOf(handle, HandleKind::Service)->Name : "?";
  Log("Control " + name + " " + std::to_string(control));
  if (!service) return error;
  if (auto code = Failure("Control", name)) return *code;
  if (service->State == kServiceStopped) return kErrorServiceNotActive;
  if (control == kServiceControlStop && !service->IgnoresStop)
    service->StopQueriesLeft = service->StopAfterQueries;
  return 0;
}

uint32_t FakeServers::QueryStatus(ServiceHandle handle, ServiceStatus& status) {
  uint32_t error = 0;
  Service* service = ServiceOf(handle, kServiceQueryStatus, error);
  if (!service) return error;
  const std::string name = HandleOf(handle, HandleKind::Service)->Name;
  if (auto code = Failure("QueryStatus", name)) return *code;
  if (service->StopQueriesLeft == 0) {
    processes_.erase(service->ProcessId);
    service->State = kServiceStopped;
    service->ProcessId = 0;
    service->StopQueriesLeft = -1;
  } else if (service->StopQueriesLeft > 0) {
    --service->StopQueriesLeft;
  }
  status.State = service->State;
  status.ProcessId = service->ProcessId;
  return 0;
}

uint32_t FakeServers::QueryConfig(ServiceHandle handle, ServiceConfig& config) {
  uint32_t error = 0;
  Service* service = ServiceOf(handle, kServiceQueryConfig, error);
  if (!service) return error;
  if (auto code = Failure("QueryConfig", HandleOf(handle, HandleKind::Service)->Name)) return *code;
  config = service->Config;
  return 0;
}

uint32_t FakeServers::ChangeConfig(ServiceHandle handle, uint32_t serviceType, uint32_t startType,
                                   uint32_t errorControl) {
  uint32_t error = 0;
  Service* service = ServiceOf(handle, kServiceChangeConfig, error);
  const std::string name = service ? HandleOf(handle, HandleKind::Service)->Name : "?";
  Log("ChangeConfig " + name + " " + std::to_string(startType));
  if (!service) return error;
  if (auto code = Failure("ChangeConfig", name)) return *code;
  if (serviceType != kServiceNoChange) service->Config.ServiceType = serviceType;
  if (startType != kServiceNoChange) service->Config.StartType = startType;
  if (errorControl != kServiceNoChange) service->Config.ErrorControl = errorControl;
  return 0;
}

uint32_t FakeServers::SetFailureActions(ServiceHandle handle,
                                        const ServiceFailureActions& actions) {
  uint32_t error = 0;
  Service* service = ServiceOf(handle, kServiceChangeConfig, error);
  Log("SetFailureActions " + (service ? HandleOf(handle, HandleKind::Service)->Name : "?"));
  if (!service) return error;
  service->FailureActions = actions;
  service->HasFailureActions = true;
  return 0;
}

void FakeServers::Close(uintptr_t handle) {
  if (handles_.erase(handle) == 0) Log("Close of an unknown handle");
}

std::optional<std::vector<ProcessEntry>> FakeServers::Enumerate() {
  Log("Enumerate");
  if (Failure("Enumerate", "")) return std::nullopt;
  std::vector<ProcessEntry> entries;
  for (const auto& [id, path] : processes_)
    entries.push_back({id, path});
  return entries;
}

uint32_t FakeServers::EnableDebugPrivilege() {
  Log("EnableDebugPrivilege");
  return Failure("EnableDebugPrivilege", "").value_or(0);
}

uint32_t FakeServers::Terminate(uint32_t processId, uint32_t exitCode) {
  Log("Terminate " + std::to_string(processId) + " " + std::to_string(exitCode));
  auto found = processes_.find(processId);
  if (found == processes_.end()) return kErrorInvalidParameter;
  if (auto code = Failure("Terminate", found->second)) return *code;
  processes_.erase(found);
  for (auto& [name, service] : services_) {
    if (service.ProcessId != processId) continue;
    service.State = kServiceStopped;
    service.ProcessId = 0;
    service.StopQueriesLeft = -1;
  }
  return 0;
}

PipeOpen FakeServers::OpenNamedPipe(const std::string& path) {
  Log("OpenPipe " + path);
  if (path.compare(0, std::strlen(kPipePrefix), kPipePrefix) != 0) return {0, kErrorFileNotFound};
  const std::string name = path.substr(std::strlen(kPipePrefix));
  if (auto code = Failure("OpenPipe", name)) return {0, *code};
  if (name.empty() || pipes_.count(Lower(name)) == 0) return {0, kErrorFileNotFound};
  auto busy = pipeBusyUntil_.find(Lower(name));
  if (busy != pipeBusyUntil_.end() && CurrentClock().MonotonicMs() < busy->second)
    return {0, kErrorPipeBusy};
  return {NewHandle({HandleKind::Pipe, 0, name, {}, {}}), 0};
}

bool FakeServers::WaitForPipe(const std::string& path, uint32_t timeoutMs) {
  Log("WaitPipe " + path + " " + std::to_string(timeoutMs));
  const std::string name = Lower(path.substr(std::min(path.size(), std::strlen(kPipePrefix))));
  if (pipes_.count(name) == 0) return false;
  auto busy = pipeBusyUntil_.find(name);
  uint64_t now = CurrentClock().MonotonicMs();
  if (busy == pipeBusyUntil_.end() || busy->second <= now) return true;
  if (busy->second - now <= timeoutMs) {
    CurrentClock().Sleep(static_cast<uint32_t>(busy->second - now));
    return true;
  }
  CurrentClock().Sleep(timeoutMs);
  return false;
}

uint32_t FakeServers::Write(PipeHandle pipe, const void* data, uint32_t size, uint32_t& written) {
  written = 0;
  Handle* open = HandleOf(pipe, HandleKind::Pipe);
  if (!open) return kErrorInvalidHandle;
  if (auto code = Failure("WritePipe", open->Name)) return *code;
  auto server = pipes_.find(Lower(open->Name));
  if (server == pipes_.end()) return kErrorBrokenPipe;
  open->Written.append(static_cast<const char*>(data), size);
  written = size;
  while (open->Written.size() >= 20) {
    std::string message = open->Written.substr(0, 20);
    open->Written.erase(0, 20);
    Log("PipeMessage " + open->Name);
    open->Reply += server->second(message);
  }
  return 0;
}

uint32_t FakeServers::Read(PipeHandle pipe, void* data, uint32_t size, uint32_t& read) {
  read = 0;
  Handle* open = HandleOf(pipe, HandleKind::Pipe);
  if (!open) return kErrorInvalidHandle;
  if (open->Reply.empty()) return kErrorBrokenPipe;
  read = static_cast<uint32_t>(std::min<size_t>(size, open->Reply.size()));
  std::memcpy(data, open->Reply.data(), read);
  open->Reply.erase(0, read);
  return 0;
}

std::optional<uint32_t> FakeServers::BytesAvailable(PipeHandle pipe) {
  Handle* open = HandleOf(pipe, HandleKind::Pipe);
  if (!open) return std::nullopt;
  return static_cast<uint32_t>(open->Reply.size());
}

PipeHandle FakeServers::OpenServerMutex(const std::string& name) {
  Log("OpenMutex " + name);
  return 0;
}

PipeHandle FakeServers::DuplicateFromProcess(uint32_t processId, uintptr_t handle) {
  Log("Duplicate " + std::to_string(processId) + " " + std::to_string(handle));
  return 0;
}

TopWindow FakeServers::Find(const std::string& className, const std::string& title) {
  auto found = windows_.find({className, title});
  if (found == windows_.end()) return 0;
  return static_cast<TopWindow>(std::distance(windows_.begin(), found) + 1);
}

intptr_t FakeServers::Send(TopWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (window == 0 || window > windows_.size()) return 0;
  auto found = std::next(windows_.begin(), static_cast<long>(window - 1));
  Log("Send " + found->first.first + " " + std::to_string(message) + " " + std::to_string(wParam) +
      " " + std::to_string(lParam));
  intptr_t result = found->second.Handler ? found->second.Handler(message, wParam, lParam) : 0;
  if (message == kWmClose && found->second.ClosesOnWmClose) windows_.erase(found);
  return result;
}

LibraryEntryCall FakeServers::CallEntry(const std::string& path, const std::string& entry) {
  Log("CallEntry " + path + " " + entry);
  LibraryEntryCall call;
  auto found = libraries_.find(Lower(path));
  if (found == libraries_.end()) return call;
  call.Loaded = true;
  call.Found = found->second.HasEntries;
  if (call.Found) call.Result = found->second.Result;
  return call;
}

}  // namespace platform
