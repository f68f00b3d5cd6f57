#include "system/service_operations.h"

#include "localization/message_table.h"
#include "platform/clock.h"
#include "platform/com_libraries.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/window_messages.h"
#include "support/paths.h"
#include "support/text.h"
#include "system/server_table.h"
#include "ui/backend.h"

using namespace platform;

namespace {

constexpr uint64_t kStopDeadlineMs = 10000;
constexpr uint32_t kPollMs = 10;
constexpr uint32_t kAfterKillMs = 2000;
constexpr size_t kShortText = 255;

// The manager, or the error that kept it closed.
struct Manager {
  ServiceManager& Services = CurrentServiceManager();
  ServiceOpen Open;
  explicit Manager(uint32_t access) : Open(Services.OpenManager(access)) {}
  ~Manager() { Services.Close(Open.Handle); }
  Manager(const Manager&) = delete;
  Manager& operator=(const Manager&) = delete;
};

bool ControlApplication(int index, bool start, const std::string& installPath) {
  const TServerRow& row = ServerRow(index);
  if (start) {
    const std::string program = installPath + row.Executable;
    if (!FileExists(program)) return false;
    CurrentShell().Open({nullptr, "", program, "", installPath, 5 /* SW_SHOW */});
    return true;
  }
  WindowMessages& windows = CurrentWindowMessages();
  TopWindow window = windows.Find(row.WindowClass, row.WindowTitle);
  if (!window) return false;
  windows.Send(window, kWmClose, 0, 0);
  Clock& timer = CurrentClock();
  const uint64_t begin = timer.MonotonicMs();
  while (windows.Find(row.WindowClass, row.WindowTitle) &&
         timer.MonotonicMs() - begin < kStopDeadlineMs)
    timer.Sleep(kPollMs);
  return true;
}

bool StartService(const std::string& name) {
  Manager manager(kManagerAllAccess);
  if (!manager.Open) {
    ReportServiceError(manager.Open.Error);
    return false;
  }
  ServiceOpen service = manager.Services.Open(manager.Open.Handle, name, kServiceStart);
  if (!service) {
    ReportServiceError(service.Error);
    return false;
  }
  ServiceHandleGuard guard(manager.Services, service.Handle);
  if (uint32_t error = manager.Services.Start(service.Handle)) ReportServiceError(error);
  // It does not wait for the service to come up: CheckServersStarted tells.
  return true;
}

bool StopService(int index, const std::string& name, bool ownService,
                 const std::string& installPath) {
  Manager manager(kManagerAllAccess);
  if (!manager.Open) {
    ReportServiceError(manager.Open.Error);
    return false;
  }
  ServiceOpen service =
      manager.Services.Open(manager.Open.Handle, name, kServiceStop | kServiceQueryStatus);
  if (!service) return false;
  ServiceHandleGuard guard(manager.Services, service.Handle);
  ServiceStatus status;
  // The process to end if it will not stop; read before it may vanish.
  manager.Services.QueryStatus(service.Handle, status);
  const uint32_t processId = status.ProcessId;
  if (uint32_t error = manager.Services.Control(service.Handle, kServiceControlStop)) {
    ReportServiceError(error);
    return false;
  }
  Clock& timer = CurrentClock();
  const uint64_t begin = timer.MonotonicMs();
  for (;;) {
    if (manager.Services.QueryStatus(service.Handle, status) == 0 &&
        status.State == kServiceStopped)
      return true;
    if (timer.MonotonicMs() - begin >= kStopDeadlineMs) break;
    timer.Sleep(kPollMs);
  }
  // Another maker's service (the system's SMTP) is ended only through its
  // own process, never by killing our program of the same row.
  KillProcessByName(ServerRow(index).Executable, ownService ? installPath : std::string(),
                    processId);
  timer.Sleep(kAfterKillMs);
  return false;
}

}  // namespace

int ServiceStartType(const std::string& name, bool change, int newType) {
  if (change && newType == -1) return -1;
  Manager manager(kManagerConnect);
  if (!manager.Open) return -1;
  ServiceOpen service =
      manager.Services.Open(manager.Open.Handle, name, kServiceQueryConfig | kServiceChangeConfig);
  if (!service) return -1;
  ServiceHandleGuard guard(manager.Services, service.Handle);
  ServiceConfig config;
  if (manager.Services.QueryConfig(service.Handle, config) != 0) return -1;
  if (change)
    manager.Services.ChangeConfig(service.Handle, config.ServiceType,
                                  static_cast<uint32_t>(newType), config.ErrorControl);
  return static_cast<int>(config.StartType);
}

bool QueryServiceState(const std::string& name, uint32_t& state) {
  Manager manager(kManagerConnect);
  if (!manager.Open) return false;
  ServiceOpen service = manager.Services.Open(manager.Open.Handle, name, kServiceQueryStatus);
  if (!service) return false;
  ServiceHandleGuard guard(manager.Services, service.Handle);
  ServiceStatus status;
  if (manager.Services.QueryStatus(service.Handle, status) != 0) return false;
  state = status.State;
  return true;
}

bool QueryServerState(int index, uint32_t& state) {
  const TServerRow& row = ServerRow(index);
  if (ServiceMode()) return QueryServiceState(row.ServiceName, state);
  return CurrentWindowMessages().Find(row.WindowClass, row.WindowTitle) != 0;
}

bool ControlServer(int index, bool start, const std::string& serviceName,
                   const std::string& installPath) {
  if (!ServiceMode()) return ControlApplication(index, start, installPath);
  const std::string name = serviceName.empty() ? ServerRow(index).ServiceName : serviceName;
  if (start) return StartService(name);
  return StopService(index, name, serviceName.empty(), installPath);
}

void SetServiceDescription(const std::string& serviceName, const std::string& text) {
  auto key = CurrentRegistry().CreateKey(
      RegistryRoot::LocalMachine,
      "\\System\\CurrentControlSet\\Services\\" + serviceName.substr(0, kShortText),
      RegistryAccess::ReadWrite);
  if (!key) return;
  key.Value()->WriteString("Description", text.substr(0, kShortText));
}

void RegisterServerService(int index, const std::string& installPath) {
  const TServerRow& row = ServerRow(index);
  Manager manager(kManagerAllAccess);
  if (!manager.Open) {
    ReportServiceError(manager.Open.Error);
    return;
  }
  ServiceCreation creation;
  creation.Name = row.ServiceName;
  creation.DisplayName = row.DisplayName;
  // Quoted, so that a folder with spaces cannot be read as a shorter program.
  creation.BinaryPath = "\"" + installPath + row.Executable + "\"";
  ServiceOpen service = manager.Services.Create(manager.Open.Handle, creation);
  if (!service) {
    // An existing service keeps its settings; only the failure is shown.
    ReportServiceError(service.Error);
    return;
  }
  ServiceHandleGuard guard(manager.Services, service.Handle);
  SetServiceDescription(row.ServiceName, row.Description);
  ServiceFailureActions actions;
  actions.Actions.push_back({kScActionRestart, 0});
  manager.Services.SetFailureActions(service.Handle, actions);
}

void RemoveServerService(const std::string& name) {
  Manager manager(kManagerAllAccess);
  if (!manager.Open) {
    ReportServiceError(manager.Open.Error);
    return;
  }
  ServiceOpen service = manager.Services.Open(manager.Open.Handle, name, kServiceAllAccess);
  if (!service) return;
  ServiceHandleGuard guard(manager.Services, service.Handle);
  if (uint32_t error = manager.Services.Delete(service.Handle)) ReportServiceError(error);
}

void DisableService(const std::string& name) {
  Manager manager(kManagerAllAccess);
  if (!manager.Open) return;
  ServiceOpen service = manager.Services.Open(manager.Open.Handle, name, kServiceAllAccess);
  if (!service) return;
  ServiceHandleGuard guard(manager.Services, service.Handle);
  manager.Services.ChangeConfig(service.Handle, kServiceNoChange, kServiceDisabled,
                                kServiceNoChange);
}

void ReportServiceError(uint32_t errorCode) {
  ui::ShowMessageBox(
      Message(TMessage::cServiceError) + SystemErrorText(errorCode) + Message(TMessage::cErrorText),
      "Warning", ui::TMessageButtons::Ok, ui::TMessageIcon::Warning);
}

bool KillProcessByName(const std::string& exeName, const std::string& installPath,
                       uint32_t serviceProcessId) {
  Processes& processes = CurrentProcesses();
  std::string name = LowerCase(exeName);
  if (ExtractFileName(name).find('.') == std::string::npos) name += ".exe";
  const std::string ownImage = installPath.empty() ? std::string() : LowerCase(installPath + name);
  auto list = processes.Enumerate();
  if (!list) return false;
  processes.EnableDebugPrivilege();
  bool result = false;
  for (const ProcessEntry& process : *list) {
    const bool ours = (serviceProcessId != 0 && process.Id == serviceProcessId) ||
                      (!ownImage.empty() && LowerCase(process.ImagePath) == ownImage);
    if (!ours) continue;
    processes.EnableDebugPrivilege();
    result = processes.Terminate(process.Id, 0) == 0;
  }
  return result;
}

bool CallLibraryEntry(const std::string& path, const std::string& entry) {
  LibraryEntryCall call = CurrentComLibraries().CallEntry(path, entry);
  return call.Loaded && call.Found && call.Result == 0;
}

bool RegisterComLibrary(const std::string& path) {
  return CallLibraryEntry(path, "DllRegisterServer");
}

bool UnregisterComLibrary(const std::string& path) {
  return CallLibraryEntry(path, "DllUnregisterServer");
}
