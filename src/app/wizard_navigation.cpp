#include "app/wizard_navigation.h"

#include <exception>

#include "app/components_page.h"
#include "app/file_copy.h"
#include "app/folder_chooser.h"
#include "app/installation_run.h"
#include "app/language_chooser.h"
#include "app/wizard_operations.h"
#include "app/wizard_pages.h"
#include "components/component_selection.h"
#include "config/settings_record.h"
#include "database/connection_string.h"
#include "database/odbc_dialog.h"
#include "localization/message_table.h"
#include "support/exit_codes.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/programs.h"
#include "support/text.h"
#include "system/server_notification.h"
#include "system/server_table.h"
#include "ui/backend.h"
#include "ui/events.h"
#include "wizard/configuration_wizard.h"
#include "wizard/database_storage.h"
#include "wizard/setup_wizard.h"

namespace {

constexpr uint32_t kFinishNotice = 1280;

void CountryStep(TApplicationWindows& windows) {
  TMainForm& form = windows.MainForm;
  const int index = form.CountryEdit->ItemIndex();
  const std::string country = index < 0 ? "" : form.CountryEdit->Item(index);
  ApplyCountry(windows.LangSelectForm, form.State, country);
}

void InstallationStep(TApplicationWindows& windows, ui::TControl& sender) {
  TMainForm& form = windows.MainForm;
  const auto& run = WizardOperations().RunInstallation;
  if (!run) {
    // Nothing was installed, so the wizard must not go on as if it had.
    ui::ShowMessageBox("The installation run is not built into this build of Setup.",
                       Message(TMessage::cInformation), ui::TMessageButtons::Ok,
                       ui::TMessageIcon::Information);
    form.State.PageIndex = 5;
    ShowPage(form);
    return;
  }
  {
    ui::TWaitCursor wait;
    form.NextButton->SetEnabled(false);
    form.BackButton->SetEnabled(false);
    // A run that an exception ended must not pass for finished.
    try {
      run(windows);
    } catch (const TProgramEnded&) {
      throw;
    } catch (const std::exception& error) {
      AbortInstallation(error.what());
    } catch (...) {
      AbortInstallation("unknown error");
    }
    form.NextButton->SetEnabled(true);
    form.BackButton->SetEnabled(true);
  }
  BackButtonClick(windows, sender);
}

void FinishActions(TApplicationWindows& windows) {
  TMainForm& form = windows.MainForm;
  const TWizardOperations& operations = WizardOperations();
  if (operations.Finishing) operations.Finishing(windows);
  if (form.SetupModeAdvanced->Checked() && operations.CreateDatabaseStorage)
    operations.CreateDatabaseStorage(form.State.DatabaseConnection);
  if (form.RunTutorial->Checked() && operations.RunConfigurationWizard)
    operations.RunConfigurationWizard(windows);
  if (operations.NotifyServer) operations.NotifyServer(kControlServer, kFinishNotice, 3, 0);
  const std::string& install = form.State.InstallPath;
  if (form.ShowTutorial->Checked() && FileExists(install + "doc\\quickstart.pdf"))
    OpenWithShell(install + "doc\\quickstart.pdf");
  if (form.WMUpgradePanel->Visible() && form.OpenWMGuideCheckbox->Checked() &&
      FileExists(install + "doc\\webmailguide.pdf"))
    OpenWithShell(install + "doc\\webmailguide.pdf");
  if (form.RunConfig->Checked()) OpenWithShell(install + "config.exe");
  EndProgram(kExitSuccess);
}

void DatabaseFormCloseQuery(TODBCForm& dialog, bool& canClose) {
  if (dialog.ModalResult() != ui::TModalResult::Ok) return;
  if (dialog.Primary.DSN->Text().empty()) {
    canClose = false;
    return;
  }
  const auto& test = WizardOperations().TestDatabaseConnection;
  if (test && !test(true)) canClose = false;
}

}  // namespace

bool RunDatabaseStep(TApplicationWindows& windows) {
  TODBCForm& dialog = windows.ODBCForm;
  TMainForm& form = windows.MainForm;
  dialog.BackupConnBox->SetVisible(false);
  dialog.CreateTablesBut->SetVisible(false);
  dialog.DropTablesBut->SetVisible(false);
  LoadConnectionString(dialog, form.State.DatabaseConnection, Settings().DefaultSyntax());
  if (ui::ShowModal(dialog) != ui::TModalResult::Ok) return false;
  form.State.DatabaseConnection = BuildConnectionString(dialog);
  return true;
}

void BackButtonClick(TApplicationWindows& windows, ui::TControl& sender) {
  TMainForm& form = windows.MainForm;
  TInstallerState& state = form.State;
  if (sender.Tag() != 0) {
    ++state.PageIndex;
    if (state.PageIndex == 4 && form.NewSetupMode->Visible() && form.SetupModeAdvanced->Checked() &&
        !RunDatabaseStep(windows))
      state.PageIndex = 3;
  } else {
    --state.PageIndex;
  }
  if (state.PageIndex < 0) state.PageIndex = 0;
  ShowPage(form);
  switch (state.PageIndex) {
    case 3:
      CountryStep(windows);
      break;
    case 4:
      ShowComponentsPage(form);
      break;
    case 5:
      LeaveComponentsPage(form);
      break;
    case 6:
      InstallationStep(windows, sender);
      break;
    case 8:
      FinishActions(windows);
      break;
  }
}

void BindWizard(TApplicationWindows& windows) {
  TMainForm& form = windows.MainForm;
  BindWizardPages(form);
  BindComponentsList(*form.ComponentsList);
  BindFolderChooser(windows.BrowseFolder);
  BindSetupWizardForm(windows.SetupWizardForm);
  auto navigate = [&windows](ui::TControl& sender) { BackButtonClick(windows, sender); };
  form.NextButton->OnClick = navigate;
  form.BackButton->OnClick = navigate;
  form.BrowseButton->OnClick = [&windows](ui::TControl&) {
    BrowseButtonClick(windows.MainForm, windows.BrowseFolder);
  };
  form.HelpButton->OnClick = [](ui::TControl&) {
    OpenWithShell(ProgramFolder() + "installguide.pdf");
  };
  form.WMURLLabel->OnClick = [&form](ui::TControl&) { OpenWithShell(form.WMURLLabel->Text()); };
  TODBCForm& dialog = windows.ODBCForm;
  BindODBCForm(dialog, [&form] { return form.State.RecordedInstallDir; });
  // OK asks the seam, so that the wizard's own tests can stand in for the database.
  dialog.OnCloseQuery = [&dialog](ui::TForm&, bool& canClose) {
    DatabaseFormCloseQuery(dialog, canClose);
  };
  WizardOperations().TestDatabaseConnection = [&dialog](bool silent) {
    return TestDatabaseConnection(dialog, silent);
  };
}

TWizardOperations& WizardOperations() {
  static TWizardOperations operations = [] {
    TWizardOperations built;
    built.RunInstallation = [](TApplicationWindows& windows) { RunInstallation(windows.MainForm); };
    built.NotifyServer = [](int server, uint32_t message, uintptr_t wParam, intptr_t lParam) {
      NotifyServer(server, message, wParam, lParam);
    };
    built.CreateDatabaseStorage = [](const std::string& connection) {
      CreateDatabaseStorage(connection);
    };
    built.RunConfigurationWizard = [](TApplicationWindows& windows) {
      RunConfigurationWizard(windows.SetupWizardForm);
    };
    return built;
  }();
  return operations;
}
