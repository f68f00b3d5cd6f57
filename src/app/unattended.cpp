#include "app/unattended.h"

#include <map>

#include "app/installation_run.h"
#include "app/language_chooser.h"
#include "app/shell_integration.h"
#include "app/startup.h"
#include "app/wizard_navigation.h"
#include "app/wizard_operations.h"
#include "app/wizard_pages.h"
#include "components/component_selection.h"
#include "components/component_state.h"
#include "components/component_tree.h"
#include "localization/language_folder.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "support/exit_codes.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/setup_log.h"
#include "support/text.h"
#include "ui/answering_backend.h"
#include "ui/headless/headless_backend.h"
#include "wizard/configuration_wizard.h"

namespace {

constexpr int kCopyRetries = 3;
constexpr uint32_t kRetryPauseMs = 1000;
constexpr int kFinishPage = 7;

bool IsSwitch(const std::string& argument, const char* name, std::string* value = nullptr) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return false;
  const std::string body = argument.substr(1);
  const size_t equals = body.find('=');
  if (!SameText(body.substr(0, equals), name)) return false;
  if (value) *value = equals == std::string::npos ? std::string() : body.substr(equals + 1);
  return value ? equals != std::string::npos : equals == std::string::npos;
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

ui::TModalResult AnswerBox(const ui::TMessageBoxRequest& request,
                           std::map<std::string, int>& retries) {
  using ui::TMessageButtons;
  using ui::TModalResult;
  const char* kind = request.Icon == ui::TMessageIcon::Error     ? "Error: "
                     : request.Icon == ui::TMessageIcon::Warning ? "Warning: "
                                                                 : "Message: ";
  const std::string line = kind + OneLine(request.Text);
  WriteSetupLog(line);
  ReportLine(line);
  switch (request.Buttons) {
    case TMessageButtons::YesNo:
    case TMessageButtons::YesNoCancel:
      // The only question whose Yes stops the installation is the cancel.
      return request.Text == Message(TMessage::cDoYouExit) ? TModalResult::No : TModalResult::Yes;
    case TMessageButtons::OkCancel:
      return TModalResult::Ok;
    case TMessageButtons::RetryCancel:
    case TMessageButtons::AbortRetryIgnore: {
      int& count = retries[request.Text];
      if (count >= kCopyRetries)
        return request.Buttons == TMessageButtons::RetryCancel ? TModalResult::Cancel
                                                               : TModalResult::Abort;
      ++count;
      platform::CurrentClock().Sleep(kRetryPauseMs);
      return TModalResult::Retry;
    }
    case TMessageButtons::Ok:
      break;
  }
  return TModalResult::Ok;
}

[[noreturn]] void Refuse(const std::string& what) {
  ReportLine("Error: " + what);
  EndProgram(kExitBadAnswers);
}

bool IsEnglish(const std::string& language) {
  return language.empty() || SameText(language, "en") || SameText(language, kEnglishLanguage);
}

// The folder of lang\ whose translation is loaded; empty for English.
std::string LoadedLanguageFolder() {
  const std::string language =
      WithPathDelimiter(ExtractFilePath(LanguageState().LanguageFilePath), false, false);
  const std::string languages = WithPathDelimiter(ExtractFilePath(language), false, false);
  if (language.empty() || !SameText(ExtractFileName(languages), "lang")) return "";
  return ExtractFileName(language);
}

// The language chooser's entry of the folder the answers name, else English;
// one that is not there is refused by the walk, which sees what was loaded.
void ChooseAnswerLanguage(TLangSelectForm& form, const std::string& language) {
  int wanted = -1;
  for (size_t i = 0; i < form.LanguageList.size(); ++i) {
    const std::string path = EntryPath(form.LanguageList[i]);
    const std::string folder =
        ExtractFileName(WithPathDelimiter(ExtractFilePath(path), false, false));
    if (path.empty() ? IsEnglish(language) : SameText(folder, language))
      wanted = static_cast<int>(i);
  }
  for (size_t i = 0; wanted < 0 && i < form.LanguageList.size(); ++i)
    if (EntryPath(form.LanguageList[i]).empty()) wanted = static_cast<int>(i);
  form.LanguageCombo->SetItemIndex(wanted);
  form.SetModalResult(ui::TModalResult::Ok);
}

bool PressNext(TApplicationWindows& windows) {
  TMainForm& form = windows.MainForm;
  if (!form.NextButton->Enabled()) return false;
  const int before = form.State.PageIndex;
  BackButtonClick(windows, *form.NextButton);
  platform::ProcessPendingMessages();
  return form.State.PageIndex != before;
}

void SetCheck(ui::TControl& box, bool checked) {
  if (box.Checked() == checked) return;
  box.SetChecked(checked);
  if (box.OnClick) box.OnClick(box);
}

void FillUserDetails(TMainForm& form, const TAnswerFile& answers) {
  if (answers.Name) form.NameEdit->SetText(*answers.Name);
  if (answers.Email) form.EmailEdit->SetText(*answers.Email);
  if (answers.Company) form.CompanyEdit->SetText(*answers.Company);
  if (answers.Country)
    form.CountryEdit->SetItemIndex(form.CountryEdit->IndexOfItem(*answers.Country));
  NameEditChange(form);
}

void SelectComponents(TMainForm& form, const std::vector<int>& ids) {
  ui::TControl& tree = *form.ComponentsList;
  for (const TComponentNodeDefinition& node : ComponentTreeDefinition()) {
    const bool wanted = std::find(ids.begin(), ids.end(), node.Id) != ids.end();
    SetComponentState(tree, node.Id, wanted ? kStateChecked : kStateUnchecked);
  }
  UpdateAllGroupStates(tree);
}

void ChooseFinishActions(TMainForm& form, const TAnswerFile& answers, bool verySilent) {
  // Without a person nothing is opened for one to look at.
  const auto choose = [](ui::TControl& box, std::optional<bool> answer, bool allowed) {
    if (answer) box.SetChecked(*answer);
    if (!allowed) box.SetChecked(false);
  };
  choose(*form.ShowTutorial, answers.QuickStart, !verySilent);
  choose(*form.RunConfig, answers.AdministrationInterface, !verySilent);
  choose(*form.OpenWMGuideCheckbox, answers.WebMailGuide, !verySilent);
  // Very silently the configuration comes from the answers only; with the
  // windows, ConfigurationWizard=1 alone opens the wizard for the person.
  const bool configure = answers.ConfigurationWizard.value_or(answers.Configure);
  form.RunTutorial->SetChecked(configure && (answers.Configure || !verySilent) &&
                               !form.State.IsUpgrade);
}

// The clock in use, counting the milliseconds it was asked to wait: the
// fixed waits of the run and the services' polls, which a measurement of the
// installation's own work leaves out.
class TWaitCountingClock final : public platform::Clock {
 public:
  TWaitCountingClock() : next_(platform::CurrentClock()) { platform::InstallClock(this); }
  platform::LocalTime Now() override { return next_.Now(); }
  uint64_t MonotonicMs() override { return next_.MonotonicMs(); }
  void Sleep(uint32_t milliseconds) override {
    waited_ += milliseconds;
    next_.Sleep(milliseconds);
  }
  uint64_t Waited() const { return waited_; }

 private:
  platform::Clock& next_;
  uint64_t waited_ = 0;
};

}  // namespace

TUnattendedOptions ReadUnattendedOptions(const std::vector<std::string>& arguments) {
  TUnattendedOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string value;
    if (i == 0 && (argument == "/?" || argument == "-?" || IsSwitch(argument, "HELP")))
      options.Help = true;
    if (i == 0 && SameText(argument, "/SILENT")) options.SilentFirst = true;
    if (IsSwitch(argument, "VERYSILENT")) options.VerySilent = true;
    if (IsSwitch(argument, "LOADINF", &value)) options.LoadInf = value;
    if (IsSwitch(argument, "SAVEINF", &value)) options.SaveInf = value;
  }
  return options;
}

std::string UnattendedUsage() {
  return "Usage: setup.exe [/SILENT [/VERYSILENT] [/LOADINF=answers.ini] "
         "[/SAVEINF=answers.ini]]\r\n"
         "       setup.exe /UNINSTALL [/VERYSILENT]\r\n"
         "\r\n"
         "  /SILENT              no confirmation question at the start\r\n"
         "  /VERYSILENT          no window at all: boxes become log lines, the progress\r\n"
         "                       goes to standard output (with /SILENT and /LOADINF, or\r\n"
         "                       after /UNINSTALL)\r\n"
         "  /LOADINF=FILE        walk the wizard with the answers of FILE\r\n"
         "  /SAVEINF=FILE        save this run's answers to FILE (never a password)\r\n"
         "  /UNINSTALL           remove the suite\r\n"
         "  /?                   this text\r\n"
         "\r\n"
         "Exit codes: 0 done, 2 bad answers, 3 failed before the installation run,\r\n"
         "4 failed during the installation run.\r\n";
}

bool LoadAnswerFile(const std::string& path, TAnswerFile& answers, std::string& error) {
  if (!FileExists(path)) return error = path + ": the answer file does not exist", false;
  std::string text;
  try {
    text = ReadFileToString(path);
  } catch (const std::exception&) {
    return error = path + ": the answer file cannot be read", false;
  }
  if (!ParseAnswerFile(text, answers, error)) return error = path + ": " + error, false;
  return true;
}

void ReportLine(const std::string& line) {
  platform::WriteStandardOutput(line + "\r\n");
}

void AnswerBoxesUnattended(ui::THeadlessBackend& backend) {
  auto retries = std::make_shared<std::map<std::string, int>>();
  backend.AnswerUnscripted = [retries](const ui::TMessageBoxRequest& request) {
    return AnswerBox(request, *retries);
  };
}

void PrepareUnattended(TApplicationWindows& windows, ui::THeadlessBackend* backend,
                       ui::TAnsweringBackend* answering, const TUnattendedOptions& options,
                       const TAnswerFile* answers) {
  const std::string language = answers && answers->Language ? *answers->Language : "";
  const auto chooseLanguage = [&windows, language](ui::TForm&) {
    ChooseAnswerLanguage(windows.LangSelectForm, language);
  };
  if (backend) {
    AnswerBoxesUnattended(*backend);
    UninstallProcedure() = [](TMainForm& form) { RunUninstall(form, true); };
    backend->WhenModal("TLangSelectForm", chooseLanguage);
    RunOperations().ObserveCaption = [](const std::string& caption) { ReportLine(caption); };
    RunOperations().ObserveStep = [](int position, int maximum) {
      ReportLine("Progress " + std::to_string(position) + "/" + std::to_string(maximum));
    };
    RunOperations().ObserveDistributionCheck = [](uint64_t unpackMs, uint64_t verifyMs) {
      ReportLine("Distribution checked: setup.dat unpacked in " + std::to_string(unpackMs) +
                 " ms, the other archives read through in " + std::to_string(verifyMs) + " ms");
    };
  }
  if (answering && answers) {
    answering->WhenModal("TLangSelectForm", chooseLanguage);
    // OK as pressed by the person: the dialog tests the connection first.
    if (answers->Database)
      answering->WhenModal("TODBCForm",
                           [](ui::TForm& dialog) { dialog.SetModalResult(ui::TModalResult::Ok); });
  }
  if (answers && answers->Database && backend) {
    backend->WhenModal("TODBCForm", [&windows, backend](ui::TForm& dialog) {
      backend->Click(*windows.ODBCForm.OKButton);
      // Refused (the connection test failed): leave it as the user would.
      if (dialog.Modal()) backend->Click(*windows.ODBCForm.CancelButton);
    });
  }
  TWizardOperations& operations = WizardOperations();
  if (!options.SaveInf.empty()) {
    // Saved when the run starts, so that a run that fails has its answers,
    // and again with the finish page's choices.
    const std::string path = options.SaveInf;
    const auto save = [path](const TMainForm& form) {
      const std::string text = FormatAnswerFile(AnswersOf(form));
      if (!WriteStringToFile(text, path)) ReportLine("Error: " + path + " cannot be written");
    };
    auto run = operations.RunInstallation;
    operations.RunInstallation = [run, save](TApplicationWindows& shown) {
      save(shown.MainForm);
      if (run) run(shown);
    };
    auto finishing = operations.Finishing;
    operations.Finishing = [finishing, save](TApplicationWindows& shown) {
      save(shown.MainForm);
      if (finishing) finishing(shown);
    };
  }
  if (answers && answers->Configure) {
    const TAnswerFile copy = *answers;
    operations.RunConfigurationWizard = [copy](TApplicationWindows&) {
      if (UnattendedConfiguration()) UnattendedConfiguration()(copy);
    };
  }
}

void WalkWizard(TApplicationWindows& windows, const TAnswerFile& answers, bool verySilent) {
  TMainForm& form = windows.MainForm;
  TInstallerState& state = form.State;
  if (answers.Language) {
    const std::string loaded = LoadedLanguageFolder();
    if (loaded.empty() ? !IsEnglish(*answers.Language) : !SameText(loaded, *answers.Language))
      Refuse("[Setup] Language: the distribution has no language folder " + *answers.Language);
  }
  if (answers.Database) state.DatabaseConnection = *answers.Database;
  while (state.PageIndex < kFinishPage) {
    const int page = state.PageIndex;
    std::string refused;
    switch (page) {
      case 1:
        SetCheck(*form.LicenseAgree, true);
        break;
      case 2:
        FillUserDetails(form, answers);
        refused = "[Setup] Name, Email: the user details need a name and an e-mail address";
        break;
      case 3:
        if (answers.Advanced && form.NewSetupMode->Visible()) {
          form.SetupModeAdvanced->SetChecked(*answers.Advanced);
          form.SetupModeBasic->SetChecked(!*answers.Advanced);
        }
        refused = "[Setup] Database: the connection could not be made";
        break;
      case 4:
        if (answers.Components) SelectComponents(form, *answers.Components);
        refused = "[Setup] Components: the selection was refused";
        break;
      case 5:
        if (answers.Destination) form.PathEdit->SetText(*answers.Destination);
        break;
    }
    if (!PressNext(windows))
      Refuse(refused.empty() ? "the wizard did not go on from page " + std::to_string(page)
                             : refused);
  }
  ChooseFinishActions(form, answers, verySilent);
  PressNext(windows);
  // The finish ends the program; a wizard that did not is a fault.
  EndProgram(kExitFailedDuringInstall);
}

TAnswerFile AnswersOf(const TMainForm& form) {
  TAnswerFile answers;
  // Only a translation of the distribution's language folder has a name
  // that an answer file can give.
  if (const std::string language = LoadedLanguageFolder(); !language.empty())
    answers.Language = language;
  answers.Name = form.NameEdit->Text();
  answers.Email = form.EmailEdit->Text();
  answers.Company = form.CompanyEdit->Text();
  if (form.CountryEdit->ItemIndex() >= 0) answers.Country = form.CountryEdit->Text();
  answers.Advanced = form.SetupModeAdvanced->Checked();
  if (*answers.Advanced) answers.Database = form.State.DatabaseConnection;
  std::vector<int> ids;
  for (const TComponentNodeDefinition& node : ComponentTreeDefinition())
    if (node.Id < kGroupAdministration || node.Id == kComponentDemoAccounts)
      if (ComponentSelected(*form.ComponentsList, node.Id)) ids.push_back(node.Id);
  answers.Components = ids;
  answers.Destination = form.PathEdit->Text();
  if (form.State.PageIndex >= kFinishPage) {
    answers.ConfigurationWizard = form.RunTutorial->Checked();
    answers.QuickStart = form.ShowTutorial->Checked();
    answers.AdministrationInterface = form.RunConfig->Checked();
    if (form.WMUpgradePanel->Visible()) answers.WebMailGuide = form.OpenWMGuideCheckbox->Checked();
  }
  return answers;
}

void ReportWaitsAtExit() {
  static TWaitCountingClock clock;
  static TProgramExitHook previous;
  previous = SetProgramExitHook([](int exitCode) {
    ReportLine("Waited " + std::to_string(clock.Waited()) + " ms");
    SetProgramExitHook(previous);
    EndProgram(exitCode);
  });
}

std::function<void(const TAnswerFile&)>& UnattendedConfiguration() {
  static std::function<void(const TAnswerFile&)> configuration = [](const TAnswerFile& answers) {
    RunConfigurationUnattended(answers.HostName, answers.Domain, answers.User, answers.Password);
  };
  return configuration;
}
