// Single operations on the suite's services and server programs. None of
// them aborts the installer: failures that matter to the administrator are
// shown by ReportServiceError, the rest are silent, as each says.
#pragma once

#include <cstdint>
#include <string>

// The start type (2 automatic, 4 disabled, ...) read from the service's
// configuration; with change, the service then gets newType and nothing else
// changes. -1 when the manager or the service cannot be opened, and without
// any call when change is asked with newType -1.
int ServiceStartType(const std::string& name, bool change, int newType);

// The service's current state; false when it cannot be queried (also when
// it is not installed).
bool QueryServiceState(const std::string& name, uint32_t& state);
// Service mode: QueryServiceState of the row. Application mode: whether the
// row's window exists; state is not written.
bool QueryServerState(int index, uint32_t& state);

// Starts or stops one server. An empty serviceName addresses the row's
// service, another name that service instead (the system's own SMTP).
bool ControlServer(int index, bool start, const std::string& serviceName,
                   const std::string& installPath);

// Creates the row's service for the program in installPath, automatic,
// restarted on failure, with its description. An existing service stays as
// it is and the failure is reported.
void RegisterServerService(int index, const std::string& installPath);
// Deletes the service when it exists; a failed deletion is reported.
void RemoveServerService(const std::string& name);
// Sets the service's start type to disabled; failures are silent.
void DisableService(const std::string& name);

// The warning box for a failed service call, with the system's text for the
// error code that call returned.
void ReportServiceError(uint32_t errorCode);

// Terminates the server program exeName of this installation: the process
// with serviceProcessId (the service's own, from the manager; 0 for none)
// and every process whose image is installPath + exeName. Programs of the
// same name elsewhere (the system's own control.exe) are left alone; an
// empty installPath kills only by process id. The outcome of the last
// termination; false when nothing matched.
bool KillProcessByName(const std::string& exeName, const std::string& installPath,
                       uint32_t serviceProcessId);

// The "Description" value of the service's registry key; failures are
// swallowed.
void SetServiceDescription(const std::string& serviceName, const std::string& text);

// Calls an entry of a COM library without arguments: true when the library
// loads, exports it, and it returns S_OK.
bool CallLibraryEntry(const std::string& path, const std::string& entry);
bool RegisterComLibrary(const std::string& path);
bool UnregisterComLibrary(const std::string& path);
