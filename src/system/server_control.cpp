#include "system/server_control.h"

#include "localization/message_table.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/services.h"
#include "platform/window_messages.h"
#include "support/format_text.h"
#include "support/paths.h"
#include "support/text.h"
#include "support/version.h"
#include "system/service_operations.h"
#include "ui/backend.h"

using namespace platform;

namespace {

constexpr uint32_t kSettleMs = 1500;
constexpr const char* kOldestKeptGroupWare = "8.1.7";
constexpr const char* kSystemSmtpService = "SMTPSVC";

// Service mode only: the service exists and is stopped.
bool Stopped(int index) {
  uint32_t state = 0;
  return QueryServiceState(ServerRow(index).ServiceName, state) && state == kServiceStopped;
}

// Older than the version, where an unknown (empty) version is never older.
bool OlderThan(const std::string& version, const char* than) {
  return !version.empty() && !VersionAtLeast(version, than);
}

}  // namespace

TServerControl::TServerControl(TServerSettings& settings, TProgressCaption progress)
    : settings_(settings), progress_(std::move(progress)) {
  RecordedStartType.fill(-1);
  NeedsRegistration.fill(true);
}

void TServerControl::Caption(const std::string& text) {
  if (progress_) progress_(text);
}

bool TServerControl::Skipped(int index) const {
  return (index == kImServer && settings_.NoInstallIM) ||
         (index == kGroupWareServer && settings_.NoInstallCalendar);
}

void TServerControl::RecordStartTypes() {
  RecordedStartType.fill(-1);
  if (!ServiceMode()) return;
  for (int index = 0; index < kServerCount; ++index) {
    const char* name = ServerRow(index).ServiceName;
    RecordedStartType[index] = ServiceStartType(name, false, -1);
    if (RecordedStartType[index] == static_cast<int>(kServiceDisabled))
      ServiceStartType(name, true, static_cast<int>(kServiceAutoStart));
  }
}

void TServerControl::RestoreStartTypes() {
  if (!ServiceMode()) return;
  for (int index = 0; index < kServerCount; ++index) {
    if (Skipped(index)) continue;
    ServiceStartType(ServerRow(index).ServiceName, true, RecordedStartType[index]);
  }
}

bool TServerControl::StopServer(int index) {
  const bool serviceMode = ServiceMode();
  uint32_t state = 0;
  bool found = QueryServerState(index, state);
  if (found && (!serviceMode || state == kServiceRunning)) {
    ControlServer(index, false, "", settings_.InstallPath);
    found = QueryServerState(index, state);
    if (found && (!serviceMode || state != kServiceStopped)) {
      ControlServer(index, false, "", settings_.InstallPath);
      found = QueryServerState(index, state);
    }
  }
  if (!serviceMode) return !found;
  return !found || state == kServiceStopped;
}

bool TServerControl::StopRunningServers() {
  Caption(Message(TMessage::cChecking));
  NeedsRegistration.fill(true);
  bool allStopped = true;
  for (int index : {kControlServer, kSmtpServer, kPop3Server, kImServer, kGroupWareServer})
    allStopped = StopServer(index) && allStopped;
  ProcessPendingMessages();
  CurrentClock().Sleep(kSettleMs);

  if (ServiceMode()) {
    if (settings_.NoInstallIM && Stopped(kImServer))
      RemoveServerService(ServerRow(kImServer).ServiceName);
    const bool oldGroupWare = OlderThan(settings_.PreviousVersion, kOldestKeptGroupWare);
    if ((settings_.NoInstallCalendar || oldGroupWare) && Stopped(kGroupWareServer)) {
      RemoveServerService(ServerRow(kGroupWareServer).ServiceName);
      if (oldGroupWare) RemoveFile(settings_.InstallPath + "calendar.exe");
    }
    if (!settings_.RecordedInstallDir.empty() &&
        !SameFolder(settings_.RecordedInstallDir, settings_.InstallPath)) {
      RemoveStoppedServices();
      settings_.RecordedInstallDir.clear();
    }
    for (int index = 0; index < kServerCount; ++index)
      if (Stopped(index)) NeedsRegistration[index] = false;
  }
  return allStopped;
}

void TServerControl::InstallServers() {
  if (ServiceMode()) {
    Caption(Message(TMessage::cInstalling));
    for (int index = 0; index < kServerCount; ++index)
      if (NeedsRegistration[index] && !Skipped(index))
        RegisterServerService(index, settings_.InstallPath);
  }
  RegisterComLibrary(settings_.InstallPath + "api.dll");
  RegisterComLibrary(settings_.InstallPath + "nivaliscom.dll");
  Caption(Message(TMessage::cStarting));
  for (int index = 0; index < kServerCount; ++index) {
    if (RecordedStartType[index] == static_cast<int>(kServiceDisabled) || Skipped(index)) continue;
    ControlServer(index, true, "", settings_.InstallPath);
  }
  Caption(Message(TMessage::cFinishing));
}

void TServerControl::CheckServersStarted() {
  const bool serviceMode = ServiceMode();
  uint32_t state = 0;
  if (serviceMode && QueryServerState(kSmtpServer, state) && state != kServiceRunning) {
    uint32_t systemState = 0;
    if (QueryServiceState(kSystemSmtpService, systemState) && systemState == kServiceRunning) {
      ControlServer(kSmtpServer, false, kSystemSmtpService, settings_.InstallPath);
      DisableService(kSystemSmtpService);
      ControlServer(kSmtpServer, true, "", settings_.InstallPath);
      CurrentClock().Sleep(kSettleMs);
    }
  }
  std::string expected;
  for (int index = kSmtpServer; index <= kImServer; ++index) {
    bool up = QueryServerState(index, state) && (!serviceMode || state == kServiceRunning);
    if (index == kImServer && settings_.NoInstallIM) up = true;
    if (!up && RecordedStartType[index] != static_cast<int>(kServiceDisabled))
      expected += std::string(ServerRow(index).DisplayName) + "\r\n";
  }
  if (expected.empty()) return;
  ui::ShowMessageBox(FormatText(Message(TMessage::cNotRunning), {expected}), "Warning",
                     ui::TMessageButtons::Ok, ui::TMessageIcon::Warning);
}

void TServerControl::RemoveStoppedServices() {
  for (int index = 0; index < kServerCount; ++index)
    if (Stopped(index)) RemoveServerService(ServerRow(index).ServiceName);
}

void StopAndRemoveServers(const std::string& installPath) {
  uint32_t state = 0;
  for (int index : {kControlServer, kSmtpServer, kPop3Server, kImServer, kGroupWareServer}) {
    if (!QueryServerState(index, state)) continue;
    if (ServiceMode() && state != kServiceRunning) continue;
    ControlServer(index, false, "", installPath);
  }
  ProcessPendingMessages();
  CurrentClock().Sleep(kSettleMs);
  if (!ServiceMode()) return;
  TServerSettings settings{installPath, {}, {}, false, false};
  TServerControl(settings).RemoveStoppedServices();
}
