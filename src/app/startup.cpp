#include "app/startup.h"

#include <exception>

#include "app/component_exclusions.h"
#include "app/installer_info.h"
#include "app/language_chooser.h"
#include "app/shell_integration.h"
#include "app/web_login.h"
#include "app/wizard_pages.h"
#include "archive/extract_archive.h"
#include "components/component_state.h"
#include "components/component_tree.h"
#include "config/install_registry.h"
#include "config/server_folders.h"
#include "config/server_paths.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "localization/language_loader.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "platform/system_info.h"
#include "support/exit_codes.h"
#include "support/file_io.h"
#include "support/format_text.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/programs.h"
#include "support/startup_trace.h"
#include "support/text.h"
#include "support/utf8.h"
#include "support/version.h"
#include "ui/application.h"
#include "ui/backend.h"

namespace {

constexpr const char* kExtractFolderName = "tolvainstall\\";
constexpr const char* kFallbackTempFolder = "temp\\";
constexpr const char* kDefaultProgramFiles = "C:\\Program Files\\";
constexpr const char* kAntivirusResetBelow = "8.2.7";
constexpr const char* kWebmailGuideBelow = "9.0.0-3";

std::string ProductName() {
  return Message(TMessage::cName);
}

ui::TModalResult AskYesNo(const std::string& text) {
  return ui::ShowMessageBox(text, FormatText(Message(TMessage::cSetup), {ProductName()}),
                            ui::TMessageButtons::YesNo, ui::TMessageIcon::Question);
}

void LoadLicenseText(TMainForm& form) {
  try {
    const std::string& path = form.State.LicenseTextPath;
    if (!FileExists(path)) return;
    form.LicenseMemo->SetWideText(Utf8ToUtf16(ReadFileToString(path)));
  } catch (...) {
    // Without its text the licence page shows an empty box.
  }
}

void PresetUserDetails(TMainForm& form) {
  TAdvancedRegistry& key = form.PathRegistry;
  form.NameEdit->SetText(key.ReadStringValue("Name"));
  form.EmailEdit->SetText(key.ReadStringValue("Email"));
  form.CompanyEdit->SetText(key.ReadStringValue("Company"));
  const std::string country = key.ReadStringValue("Country");
  const int index = country.empty() ? -1 : form.CountryEdit->IndexOfItem(country);
  if (index >= 0) form.CountryEdit->SetItemIndex(index);
}

void PresetDestination(TMainForm& form) {
  TAdvancedRegistry windowsKey(TRegistryKey::hkLOCAL_MACHINE, "\\Software\\Microsoft\\Windows",
                               "CurrentVersion");
  std::string folder = windowsKey.ReadStringValue("ProgramFilesDir");
  if (folder.empty()) folder = kDefaultProgramFiles;
  folder = WithPathDelimiter(folder, true, false);
  form.PathEdit->SetText(folder + form.PathEdit->Text());
}

}  // namespace

std::function<void(TMainForm&)>& UninstallProcedure() {
  static std::function<void(TMainForm&)> procedure = [](TMainForm& form) { RunUninstall(form); };
  return procedure;
}

void UpgradePreset(TMainForm& form, const std::string& folder) {
  TInstallerState& state = form.State;
  TServerFolders& folders = ServerFolders();
  folders.InstallPath = FolderPath(folder);
  state.RecordedInstallDir = folder;
  form.PathEdit->SetText(folder);
  form.SetupTypeLabel->SetText(Message(TMessage::cUpdateSetup));
  SetComponentState(*form.ComponentsList, kComponentDesktopIcon, kStateUnchecked);
  SetComponentState(*form.ComponentsList, kComponentQuickLaunch, kStateUnchecked);

  folders.ConfigPath = FolderPath(WithPathDelimiter(folder, true, false) + "config\\");
  LoadSettings(false, true);
  if (FolderExists(folders.ConfigPath)) {
    state.LogsPath = Settings().LogPath();
    form.NewSetupMode->SetVisible(false);
  }
  state.AdvancedInterface = SameText(Settings().InterfaceLayout(), "advanced.xml");
  if (!state.PreviousVersion.empty()) {
    state.ResetAntivirusFolder = !VersionAtLeast(state.PreviousVersion, kAntivirusResetBelow);
    form.WMUpgradePanel->SetVisible(!VersionAtLeast(state.PreviousVersion, kWebmailGuideBelow));
    form.WMURLLabel->SetText(WebLoginUrl(kWebmail2LogonSwitch));
  }
}

void RunCommandLine(TMainForm& form, const std::string& argument) {
  StartupTrace("command line");
  InitServerPaths();
  LoadSettings(false, true);
  StartupTrace("settings loaded");
  if (SameText(argument, kUninstallSwitch)) {
    if (AskYesNo(Message(TMessage::cUnInstallQ)) != ui::TModalResult::Yes) EndProgram(kExitSuccess);
    UninstallProcedure()(form);
  } else if (IsWebLoginSwitch(argument)) {
    OpenWithShell(WebLoginUrl(argument));
  }
  EndProgram(kExitSuccess);
}

void FormShow(TApplicationWindows& windows) {
  TMainForm& form = windows.MainForm;
  TInstallerState& state = form.State;

  LanguageState().StringsRegistered = false;
  if (LoadLanguage("") == TLanguageLoad::EndProgram) EndProgram(kExitSuccess);
  StartupTrace("language file");

  state.RecordedInstallDir.clear();
  state.AdvancedInterface = true;
  ReadInstallerInfo(state, ProgramFolder() + kInfoFileName);

  state.PageIndex = 0;
  state.PreviousVersion.clear();
  state.LogsPath.clear();
  state.IsUpgrade = state.AdminOnly = state.ResetAntivirusFolder = false;
  state.NoInstallMail = state.NoInstallIAS = state.NoInstallAV = false;
  state.NoInstallCalendar = state.NoInstallIM = false;

  // Whatever an event handler lets escape is dropped; the wizard stays on
  // its page.
  ui::Application().OnException = [](std::exception_ptr) {};

  StartupTrace("installer info");
  MigrateInstallRegistry(false);
  StartupTrace("install-info migration");

  form.PathRegistry.SetRegistryRootKey(TRegistryKey::hkLOCAL_MACHINE);
  form.PathRegistry.SetRegistryArea(kProductArea);
  form.PathRegistry.SetRegistrySection(kProductSection);

  const std::vector<std::string> arguments = platform::CurrentSystem().Arguments();
  const bool silent = !arguments.empty() && SameText(arguments.front(), kSilentSwitch);
  if (!arguments.empty() && !silent) RunCommandLine(form, arguments.front());

  const std::string temp = GetSpecialFolder(SpecialFolder::Temporary, true);
  state.ExtractPath =
      ShortString(temp.empty() ? ProgramFolder() + kFallbackTempFolder : temp + kExtractFolderName);
  // What an earlier run left there (a kill, a failure) would be deployed as
  // if it came from this one; the language chooser unpacks into it next.
  RemoveExtractedFolder(state.ExtractPath);
  state.LicenseTextPath = ProgramFolder() + "license.txt";
  state.ReadmePath = ProgramFolder() + "readme.txt";

  StartupTrace("language chooser");
  if (!ChooseLanguage(windows.LangSelectForm, state)) EndProgram(kExitSuccess);
  StartupTrace("language chosen");

  state.WindowTitle =
      ShortString(FormatText(Message(TMessage::cPSetup), {ProductName(), kSetupVersion}));
  form.SetCaption(state.WindowTitle);
  ui::Application().SetTitle(state.WindowTitle);
  if (form.AboutLabel->Text().find("%s") != std::string::npos)
    form.AboutLabel->SetText(FormatText(form.AboutLabel->Text(), {kSetupVersion}));

  if (!silent &&
      AskYesNo(FormatText(Message(TMessage::cInstallQ), {ProductName() + " " + kSetupVersion})) !=
          ui::TModalResult::Yes)
    EndProgram(kExitSuccess);

  state.PreviousVersion = ShortString(form.PathRegistry.ReadStringValue("Version"));
  LoadLicenseText(form);

  std::string installDir;
  try {
    ReadComponentExclusions(state, form.PathRegistry);
    installDir = form.PathRegistry.ReadStringValue("InstallDir");
    if (!installDir.empty()) UpgradePreset(form, installDir);
    PresetUserDetails(form);
  } catch (...) {
    installDir.clear();
  }
  if (installDir.empty()) PresetDestination(form);

  ShowPage(form);
}
