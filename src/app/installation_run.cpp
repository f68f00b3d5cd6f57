#include "app/installation_run.h"

#include <array>

#include "app/component_download.h"
#include "app/component_exclusions.h"
#include "app/config_templates.h"
#include "app/deploy_files.h"
#include "app/file_copy.h"
#include "app/form_progress.h"
#include "app/installer_state.h"
#include "app/kept_start_types.h"
#include "app/main_form.h"
#include "app/program_file_backup.h"
#include "app/shell_integration.h"
#include "archive/extract_archive.h"
#include "archive/verify_archive.h"
#include "components/component_state.h"
#include "config/dns_server_list.h"
#include "config/install_registry.h"
#include "config/replace_file.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "localization/message_table.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/services.h"
#include "platform/system_info.h"
#include "support/advanced_registry.h"
#include "support/exit_codes.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/setup_log.h"
#include "support/version.h"
#include "system/server_control.h"
#include "system/server_table.h"
#include "system/service_operations.h"
#include "ui/backend.h"
#include "upgrade/demo_accounts.h"
#include "upgrade/upgrade_procedures.h"

namespace {

constexpr int kComponentCore = 0;
constexpr int kComponentAdministration = 1;
constexpr int kComponentDemoAccounts = 15;
constexpr int kProgressSteps = 12;
constexpr uint32_t kSettleMs = 2000;
// Versions before this one lack the web client module in the web server's
// configuration.
constexpr const char* kWebClientVersion = "7.7.3";
constexpr const char* kTagsFileContent = ";\r\nfootervalue.txt;\r\n\r\n\r\n10\r\n";

void LoadInstalledSettings(const std::string& installPath) {
  ServerFolders().ConfigPath = installPath + "config\\";
  LoadSettings(false, false);
}

void SetNewInstallationFolders(const std::string& installPath) {
  SettingsRecord& settings = Settings();
  settings.SetText(settings_field::TempPath, installPath + "temp\\");
  settings.SetText(settings_field::MailPath, installPath + "mail\\");
  settings.SetText(settings_field::LogPath, installPath + "logs\\");
}

void WriteWhole(const std::string& path, const std::string& content) {
  WriteFileReplacing(path, content.data(), content.size(), TReplaceMode::WholeOnly);
}

// The settings of a new installation: the interface, the folders below the
// installation, the machine's name servers, the footer.
void PrepareNewConfiguration(TMainForm& form) {
  const TInstallerState& state = form.State;
  const std::string config = state.InstallPath + "config\\";
  const bool demo = ComponentSelected(*form.ComponentsList, kComponentDemoAccounts);
  int result = 0;
  if (demo) {
    WriteSetupLog("Creating demo accounts");
    ExtractArchive(state.ExtractPath + "demo.dat", config, result);
  }
  LoadInstalledSettings(state.InstallPath);
  SettingsRecord& settings = Settings();
  settings.SetText(settings_field::InterfaceLayout,
                   state.AdvancedInterface ? "advanced.xml" : "basic.xml");
  SetNewInstallationFolders(state.InstallPath);
  const std::string dns = SystemDnsServerList();
  if (!dns.empty()) settings.SetText(settings_field::DnsServers, dns);
  if (!state.FooterText.empty()) {
    WriteWhole(config + "tags.dat", kTagsFileContent);
    WriteWhole(config + "footervalue.txt", state.FooterText);
    settings.SetNumber(settings_field::FooterSwitch, 1);
  }
  SaveSettings(false);
  if (demo && RunOperations().CreateDemoAccounts) RunOperations().CreateDemoAccounts();
}

// Before a server is stopped or a file of the installation written: the main
// archive is unpacked into the extraction folder (which checks every entry
// and is needed anyway), every other archive the run will read is read
// through, the loose files it needs are looked for. The first one missing or
// damaged ends the program with the installation as it was.
void CheckDistribution(const TDeployment& deployment) {
  const TInstallerState& state = deployment.State;
  platform::Clock& clock = platform::CurrentClock();
  const uint64_t start = clock.MonotonicMs();
  std::string damaged;
  if (!state.AdminOnly) {
    deployment.Progress.SetProgressCaption(Message(TMessage::cExtractingFiles));
    int result = 0;
    if (!ExtractArchive(DataArchivePath(state, "setup.dat"), state.ExtractPath, result))
      damaged = "setup.dat";
  }
  const uint64_t unpacked = clock.MonotonicMs();
  for (const TDistributionPart& part : DeploymentParts(deployment)) {
    if (!damaged.empty()) break;
    if (part.Path.empty()) {
      if (part.Required) damaged = part.Name;
    } else if (part.IsArchive && !VerifyArchive(part.Path)) {
      damaged = part.Name;
    }
  }
  const std::string presets = deployment.InstallerFolder + "tolva.mcb";
  if (damaged.empty() && !state.AdminOnly && !state.IsUpgrade && FileExists(presets) &&
      !VerifyArchive(presets))
    damaged = "tolva.mcb";
  if (RunOperations().ObserveDistributionCheck)
    RunOperations().ObserveDistributionCheck(unpacked - start, clock.MonotonicMs() - unpacked);
  if (damaged.empty()) return;
  RemoveExtractedFolder(state.ExtractPath);
  ui::ShowMessageBox(Message(TMessage::cErrorDataFile) + " " + damaged, Message(TMessage::cError),
                     ui::TMessageButtons::Ok, ui::TMessageIcon::Error);
  EndProgram(kExitFailedBeforeInstall);
}

// The start types before the run changes them, kept until they are given
// back; after a run that was ended by force, that run's are the ones.
void RecordStartTypesKept(TServerControl& servers, TAdvancedRegistry& productKey) {
  const std::optional<TStartTypes> kept = ReadKeptStartTypes(productKey);
  if (!kept) {
    TStartTypes found{};
    for (int index = 0; index < kServerCount; ++index)
      found[static_cast<size_t>(index)] = ServiceStartType(ServerRow(index).ServiceName, false, -1);
    if (!KeepStartTypes(productKey, found))
      WriteSetupLog("Error: the services' start types could not be kept in the product key");
  }
  servers.RecordStartTypes();
  if (kept) {
    servers.RecordedStartType = *kept;
    WriteSetupLog("Start types kept by a run that was ended are given back");
  }
}

}  // namespace

void TFormProgress::SetProgressCaption(const std::string& text) {
  form_.InstallPanelText->SetText(text);
  if (RunOperations().ObserveCaption) RunOperations().ObserveCaption(text);
  platform::ProcessPendingMessages();
}

void TFormProgress::StepProgress() {
  ui::TControl& bar = *form_.ProgressBar;
  bar.SetPosition(bar.Position() + 1);
  if (RunOperations().ObserveStep) RunOperations().ObserveStep(bar.Position(), bar.Max());
}

TRunOperations& RunOperations() {
  static TRunOperations operations = [] {
    TRunOperations built;
    built.RecordUpgradeStart = [](const std::string& previous, const std::string& install) {
      RecordUpgradeStart(previous, install);
    };
    built.RunUpgradeProcedures = [](const std::string& previous, const std::string& install) {
      RunUpgradeProcedures(previous, install);
    };
    built.CreateDemoAccounts = [] { CreateDemoAccounts(); };
    return built;
  }();
  return operations;
}

void RemoveExcludedComponents(const TInstallerState& state) {
  const std::string& install = state.InstallPath;
  if (install.empty()) return;
  if (state.NoInstallIM) {
    KeepProgramFile(install + "im.exe");
    platform::RemoveFile(install + "im.exe");
  }
  if (state.NoInstallCalendar) {
    KeepProgramFile(install + "cal.exe");
    platform::RemoveFile(install + "cal.exe");
  }
  if (state.NoInstallAV) {
    KeepProgramFolder(install + "avast\\");
    DeleteFolderTree(install + "avast\\");
  }
  if (state.NoInstallIAS) {
    KeepProgramFolder(install + "spam\\");
    DeleteFolderTree(install + "spam\\");
  }
}

void RunInstallation(TMainForm& form) {
  TInstallerState& state = form.State;
  const ui::TControl& components = *form.ComponentsList;
  TFormProgress progress(form);
  form.ProgressBar->SetRange(0, kProgressSteps);
  form.ProgressBar->SetPosition(0);

  state.AdminOnly = !ComponentSelected(components, kComponentCore) &&
                    ComponentSelected(components, kComponentAdministration);
  DownloadMissingComponents(form);
  state.InstallPath = WithPathDelimiter(form.PathEdit->Text(), true, false);
  state.IsUpgrade = FolderExists(state.InstallPath + "config\\");
  if (state.LogsPath.empty()) state.LogsPath = state.InstallPath + "logs\\";
  const std::string program = platform::CurrentSystem().ProgramPath();
  const std::string windows = GetSpecialFolder(SpecialFolder::Windows, true);
  const TDeployment deployment{state,
                               progress,
                               [&components](int id) { return ComponentSelected(components, id); },
                               ExtractFilePath(program),
                               ExtractFileName(program),
                               windows.empty() ? windows : WithPathDelimiter(windows, true, false)};
  CheckDistribution(deployment);
  MigrateInstallRegistry(true);
  WriteComponentExclusions(state, form.PathRegistry);
  ServerFolders().InstallPath = state.InstallPath;
  OpenLog(state.LogsPath + "setup\\setup.log", kLogDateTime);
  WriteSetupLog(std::string("Started \"Nivalis Tolva Mail Server\" ") + kSetupVersion + " \"" +
                state.InstallPath + "\"");

  TServerSettings serverSettings{state.InstallPath, state.PreviousVersion, state.RecordedInstallDir,
                                 state.NoInstallIM, state.NoInstallCalendar};
  TServerControl servers(
      serverSettings, [&progress](const std::string& text) { progress.SetProgressCaption(text); });
  servers.RecordedStartType.fill(-1);
  const bool keepStartTypes = state.IsUpgrade && ServiceMode();
  TAdvancedRegistry& productKey = form.PathRegistry;
  const auto restoreStartTypes = [&servers, &productKey] {
    servers.RestoreStartTypes();
    ForgetStartTypes(productKey);
  };
  // A run that ends early gives the administrator's disabled servers back.
  TExitCleanup restoreStartTypesAtExit([&restoreStartTypes, keepStartTypes] {
    if (keepStartTypes) restoreStartTypes();
  });

  // A run that fails after it replaced program files puts them back and
  // starts the servers that ran before it; a new installation's files go.
  std::array<bool, kServerCount> wasRunning{};
  for (int index = 0; index < kServerCount; ++index) {
    uint32_t serverState = 0;
    wasRunning[index] = !state.AdminOnly && QueryServerState(index, serverState) &&
                        (!ServiceMode() || serverState == platform::kServiceRunning);
  }
  TProgramFileBackup backup;
  TExitCleanup restoreProgramFiles([&backup, &state, &wasRunning] {
    SetActiveBackup(nullptr);
    const size_t restored = backup.Restore();
    if (restored > 0)
      WriteSetupLog("Program files put back after the failed run: " + std::to_string(restored));
    for (int index = 0; index < kServerCount; ++index) {
      uint32_t serverState = 0;
      if (wasRunning[index] && !(QueryServerState(index, serverState) &&
                                 (!ServiceMode() || serverState == platform::kServiceRunning)))
        ControlServer(index, true, "", state.InstallPath);
    }
  });

  if (!state.AdminOnly) {
    if (keepStartTypes) RecordStartTypesKept(servers, productKey);
    WriteSetupLog("Checking running services");
    progress.StepProgress();
    servers.StopRunningServers();
    const bool stopped = servers.StopRunningServers();
    progress.StepProgress();
    WriteSetupLog(stopped ? "Services stopped" : "Error: Services could not be stopped");
    // CheckDistribution unpacked the main archive already.
    WriteSetupLog("Data file extracted to \"" + state.ExtractPath + "\"");
    progress.StepProgress();
    if (state.IsUpgrade) LoadInstalledSettings(state.InstallPath);
  }

  WriteSetupLog("Copying files...");
  const std::string journal = BackupJournalPath(state.InstallPath);
  if (const size_t left = PutBackKeptCopies(journal); left > 0)
    WriteSetupLog("Program files put back from a run that was ended: " + std::to_string(left));
  backup.SetJournal(journal);
  SetActiveBackup(&backup);
  DeployFiles(deployment);
  progress.StepProgress();

  if (!state.AdminOnly) {
    const std::string presets = deployment.InstallerFolder + "tolva.mcb";
    int result = 0;
    if (!state.IsUpgrade && FileExists(presets))
      ExtractArchive(presets, state.InstallPath + "config\\", result);
    progress.StepProgress();
    WriteSetupLog("Copying files done");
    if (!state.IsUpgrade) PrepareNewConfiguration(form);
    progress.StepProgress();
    LoadInstalledSettings(state.InstallPath);
    if (!state.IsUpgrade) SetNewInstallationFolders(state.InstallPath);
    SaveSettings(false);
    progress.StepProgress();
    if (state.IsUpgrade && !state.PreviousVersion.empty() &&
        !VersionAtLeast(state.PreviousVersion, kWebClientVersion))
      EditWebServerConfig(state.InstallPath);
    progress.StepProgress();
    if (!state.PreviousVersion.empty() && RunOperations().RecordUpgradeStart)
      RunOperations().RecordUpgradeStart(state.PreviousVersion, state.InstallPath);
    CreateIcons(form);
    RemoveExcludedComponents(state);
    SetActiveBackup(nullptr);
    WriteSetupLog("Installing services");
    servers.InstallServers();
    progress.StepProgress();
  }

  RemoveExtractedFolder(state.ExtractPath);
  WriteSetupLog("Extracted data deleted \"" + state.ExtractPath + "\"");
  platform::ProcessPendingMessages();
  platform::CurrentClock().Sleep(kSettleMs);
  progress.StepProgress();
  progress.SetProgressCaption(Message(TMessage::cFinished));

  if (!state.AdminOnly) {
    WriteSetupLog("Starting services");
    servers.CheckServersStarted();
    if (keepStartTypes) restoreStartTypes();
    if (!state.PreviousVersion.empty()) {
      WriteSetupLog("Running upgrade procedures " + state.PreviousVersion + " -> " + kSetupVersion);
      if (RunOperations().RunUpgradeProcedures)
        RunOperations().RunUpgradeProcedures(state.PreviousVersion, state.InstallPath);
    }
  }
  // The run is through: the kept copies of replaced files go.
  SetActiveBackup(nullptr);
  backup.Discard();
  WriteSetupLog("Finished\r\n");
}
