// The services across one installation run: the stop before files are
// replaced, the registration and start after, the check that they came up,
// and the start types an administrator chose, kept across an upgrade.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "system/server_table.h"

// The installer's choices that the services depend on.
struct TServerSettings {
  std::string InstallPath;  // ends in `\`
  std::string PreviousVersion;
  // The folder the registry recorded; cleared once its services were removed.
  std::string RecordedInstallDir;
  bool NoInstallIM = false;
  bool NoInstallCalendar = false;
};

class TServerControl {
 public:
  using TProgressCaption = std::function<void(const std::string& caption)>;

  TServerControl(TServerSettings& settings, TProgressCaption progress = {});

  // Before an upgrade (service mode): remembers each start type and makes
  // disabled services automatic for the duration of the run.
  void RecordStartTypes();
  // After it: gives back what RecordStartTypes found.
  void RestoreStartTypes();

  // One server of the pre-installation stop; true when it counts as stopped.
  bool StopServer(int index);
  // Stops every running server and prepares which services InstallServers
  // must create; true when all five are stopped.
  bool StopRunningServers();
  void InstallServers();
  // Takes over the port from the system's SMTP service and warns once about
  // the servers that did not come up.
  void CheckServersStarted();
  void RemoveStoppedServices();

  // -1 when none was recorded; 4 (disabled) keeps the server from being
  // started or reported.
  std::array<int32_t, kServerCount> RecordedStartType;
  std::array<bool, kServerCount> NeedsRegistration;

 private:
  bool Skipped(int index) const;
  void Caption(const std::string& text);

  TServerSettings& settings_;
  TProgressCaption progress_;
};

// The uninstall's stop: Control first, then the others, one request each
// for those that run; then, in service mode, their services are deleted.
void StopAndRemoveServers(const std::string& installPath);
