// The service control manager: one method per system call, each reporting
// failure by value with the system's error code, so that callers read the
// error straight after the call that failed and a fake can inject any one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// An open manager or service; 0 is none.
using ServiceHandle = uintptr_t;

// The system's numbers, on every host.
inline constexpr uint32_t kServiceStopped = 1;            // SERVICE_STOPPED
inline constexpr uint32_t kServiceRunning = 4;            // SERVICE_RUNNING
inline constexpr uint32_t kServiceAutoStart = 2;          // SERVICE_AUTO_START
inline constexpr uint32_t kServiceDisabled = 4;           // SERVICE_DISABLED
inline constexpr uint32_t kServiceNoChange = 0xFFFFFFFF;  // SERVICE_NO_CHANGE
inline constexpr uint32_t kServiceOwnProcess = 0x10;      // SERVICE_WIN32_OWN_PROCESS
inline constexpr uint32_t kServiceErrorNormal = 1;        // SERVICE_ERROR_NORMAL
inline constexpr uint32_t kServiceControlStop = 1;        // SERVICE_CONTROL_STOP
inline constexpr uint32_t kScActionRestart = 1;           // SC_ACTION_RESTART

// Access rights, as the system numbers them.
inline constexpr uint32_t kManagerConnect = 0x0001;       // SC_MANAGER_CONNECT
inline constexpr uint32_t kManagerAllAccess = 0xF003F;    // SC_MANAGER_ALL_ACCESS
inline constexpr uint32_t kServiceQueryConfig = 0x0001;   // SERVICE_QUERY_CONFIG
inline constexpr uint32_t kServiceChangeConfig = 0x0002;  // SERVICE_CHANGE_CONFIG
inline constexpr uint32_t kServiceQueryStatus = 0x0004;   // SERVICE_QUERY_STATUS
inline constexpr uint32_t kServiceStart = 0x0010;         // SERVICE_START
inline constexpr uint32_t kServiceStop = 0x0020;          // SERVICE_STOP
inline constexpr uint32_t kServiceAllAccess = 0xF01FF;    // SERVICE_ALL_ACCESS

// Error codes the installer tells apart.
inline constexpr uint32_t kErrorAccessDenied = 5;            // ERROR_ACCESS_DENIED
inline constexpr uint32_t kErrorProcNotFound = 127;          // ERROR_PROC_NOT_FOUND
inline constexpr uint32_t kErrorServiceDoesNotExist = 1060;  // ERROR_SERVICE_DOES_NOT_EXIST
inline constexpr uint32_t kErrorServiceExists = 1073;        // ERROR_SERVICE_EXISTS
inline constexpr uint32_t kErrorNotImplemented = 120;        // ERROR_CALL_NOT_IMPLEMENTED

struct ServiceStatus {
  uint32_t State = 0;
  uint32_t ProcessId = 0;  // 0 when the service runs in no process
};

struct ServiceConfig {
  uint32_t ServiceType = 0;
  uint32_t StartType = 0;
  uint32_t ErrorControl = 0;
  std::string BinaryPath;
  std::string DisplayName;
};

// What CreateServiceA is given; the account is always the local system.
struct ServiceCreation {
  std::string Name;
  std::string DisplayName;
  uint32_t Access = kServiceAllAccess;
  uint32_t ServiceType = kServiceOwnProcess;
  uint32_t StartType = kServiceAutoStart;
  uint32_t ErrorControl = kServiceErrorNormal;
  std::string BinaryPath;
};

struct ServiceAction {
  uint32_t Type = 0;
  uint32_t DelayMs = 0;
};

struct ServiceFailureActions {
  uint32_t ResetPeriodSeconds = 0;
  std::vector<ServiceAction> Actions;
};

// A handle, or the error that prevented it.
struct ServiceOpen {
  ServiceHandle Handle = 0;
  uint32_t Error = 0;
  explicit operator bool() const { return Handle != 0; }
};

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  // Each call returns 0 or the system's error code.
  virtual ServiceOpen OpenManager(uint32_t access) = 0;
  virtual ServiceOpen Open(ServiceHandle manager, const std::string& name, uint32_t access) = 0;
  virtual ServiceOpen Create(ServiceHandle manager, const ServiceCreation& creation) = 0;
  virtual uint32_t Delete(ServiceHandle service) = 0;
  virtual uint32_t Start(ServiceHandle service) = 0;
  virtual uint32_t Control(ServiceHandle service, uint32_t control) = 0;
  virtual uint32_t QueryStatus(ServiceHandle service, ServiceStatus& status) = 0;
  virtual uint32_t QueryConfig(ServiceHandle service, ServiceConfig& config) = 0;
  // ChangeServiceConfigA with these three and nothing else changed.
  virtual uint32_t ChangeConfig(ServiceHandle service, uint32_t serviceType, uint32_t startType,
                                uint32_t errorControl) = 0;
  // ChangeServiceConfig2A with the failure actions; kErrorProcNotFound on
  // systems without that call.
  virtual uint32_t SetFailureActions(ServiceHandle service,
                                     const ServiceFailureActions& actions) = 0;
  virtual void Close(ServiceHandle handle) = 0;
};

ServiceManager& CurrentServiceManager();
ServiceManager* InstallServiceManager(ServiceManager* manager);

// Closes a manager or service handle when it goes out of scope.
class ServiceHandleGuard {
 public:
  ServiceHandleGuard(ServiceManager& manager, ServiceHandle handle)
      : manager_(manager), handle_(handle) {}
  ~ServiceHandleGuard() {
    if (handle_) manager_.Close(handle_);
  }
  ServiceHandleGuard(const ServiceHandleGuard&) = delete;
  ServiceHandleGuard& operator=(const ServiceHandleGuard&) = delete;
  ServiceHandle Get() const { return handle_; }

 private:
  ServiceManager& manager_;
  ServiceHandle handle_;
};

}  // namespace platform
