#include <windows.h>

#include "platform/native.h"

namespace platform {
namespace {

SC_HANDLE AsHandle(ServiceHandle handle) {
  return reinterpret_cast<SC_HANDLE>(handle);
}
ServiceOpen Opened(SC_HANDLE handle) {
  if (!handle) return {0, static_cast<uint32_t>(GetLastError())};
  return {reinterpret_cast<ServiceHandle>(handle), 0};
}
uint32_t Outcome(BOOL ok) {
  return ok ? 0 : static_cast<uint32_t>(GetLastError());
}

class WindowsServiceManager final : public ServiceManager {
 public:
  ServiceOpen OpenManager(uint32_t access) override {
    return Opened(OpenSCManagerA(nullptr, nullptr, access));
  }
  ServiceOpen Open(ServiceHandle manager, const std::string& name, uint32_t access) override {
    return Opened(OpenServiceA(AsHandle(manager), name.c_str(), access));
  }
  ServiceOpen Create(ServiceHandle manager, const ServiceCreation& c) override {
    return Opened(CreateServiceA(AsHandle(manager), c.Name.c_str(), c.DisplayName.c_str(), c.Access,
                                 c.ServiceType, c.StartType, c.ErrorControl, c.BinaryPath.c_str(),
                                 nullptr, nullptr, nullptr, nullptr, nullptr));
  }
  uint32_t Delete(ServiceHandle service) override {
    return Outcome(DeleteService(AsHandle(service)));
  }
  uint32_t Start(ServiceHandle service) override {
    return Outcome(StartServiceA(AsHandle(service), 0, nullptr));
  }
  uint32_t Control(ServiceHandle service, uint32_t control) override {
    SERVICE_STATUS status{};
    return Outcome(ControlService(AsHandle(service), control, &status));
  }
  uint32_t QueryStatus(ServiceHandle service, ServiceStatus& status) override {
    SERVICE_STATUS_PROCESS process{};
    DWORD needed = 0;
    if (QueryServiceStatusEx(AsHandle(service), SC_STATUS_PROCESS_INFO,
                             reinterpret_cast<BYTE*>(&process), sizeof process, &needed)) {
      status.State = process.dwCurrentState;
      status.ProcessId = process.dwProcessId;
      return 0;
    }
    // A handle opened with SERVICE_QUERY_STATUS always allows the plain query.
    SERVICE_STATUS plain{};
    if (!QueryServiceStatus(AsHandle(service), &plain)) return GetLastError();
    status.State = plain.dwCurrentState;
    status.ProcessId = 0;
    return 0;
  }
  uint32_t QueryConfig(ServiceHandle service, ServiceConfig& config) override {
    DWORD needed = 0;
    QueryServiceConfigA(AsHandle(service), nullptr, 0, &needed);
    if (needed == 0) return GetLastError();
    std::string buffer(needed, '\0');
    auto* record = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!QueryServiceConfigA(AsHandle(service), record, needed, &needed)) return GetLastError();
    config.ServiceType = record->dwServiceType;
    config.StartType = record->dwStartType;
    config.ErrorControl = record->dwErrorControl;
    config.BinaryPath = record->lpBinaryPathName ? record->lpBinaryPathName : "";
    config.DisplayName = record->lpDisplayName ? record->lpDisplayName : "";
    return 0;
  }
  uint32_t ChangeConfig(ServiceHandle service, uint32_t serviceType, uint32_t startType,
                        uint32_t errorControl) override {
    return Outcome(ChangeServiceConfigA(AsHandle(service), serviceType, startType, errorControl,
                                        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr));
  }
  uint32_t SetFailureActions(ServiceHandle service, const ServiceFailureActions& actions) override {
    // Older systems lack the call: look it up rather than link it.
    using ChangeConfig2 = BOOL(WINAPI*)(SC_HANDLE, DWORD, void*);
    HMODULE advapi = LoadLibraryA("advapi32.dll");
    if (!advapi) return GetLastError();
    auto change = reinterpret_cast<ChangeConfig2>(
        reinterpret_cast<void*>(GetProcAddress(advapi, "ChangeServiceConfig2A")));
    uint32_t result = kErrorProcNotFound;
    if (change) {
      std::vector<SC_ACTION> list;
      for (const ServiceAction& action : actions.Actions)
        list.push_back({static_cast<SC_ACTION_TYPE>(action.Type), action.DelayMs});
      SERVICE_FAILURE_ACTIONSA record{};
      record.dwResetPeriod = actions.ResetPeriodSeconds;
      record.cActions = static_cast<DWORD>(list.size());
      record.lpsaActions = list.empty() ? nullptr : list.data();
      result = Outcome(change(AsHandle(service), SERVICE_CONFIG_FAILURE_ACTIONS, &record));
    }
    FreeLibrary(advapi);
    return result;
  }
  void Close(ServiceHandle handle) override {
    if (handle) CloseServiceHandle(AsHandle(handle));
  }
};

}  // namespace

ServiceManager& NativeServiceManager() {
  static WindowsServiceManager manager;
  return manager;
}

}  // namespace platform
