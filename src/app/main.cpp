// setup.exe: the windows on the real system's user interface (or on none,
// unattended), the start-up sequence, then the wizard until an explicit end
// of the program.
#include <exception>
#include <memory>

#include "app/startup.h"
#include "app/unattended.h"
#include "app/windows.h"
#include "app/wizard_navigation.h"
#include "platform/console.h"
#include "platform/system_info.h"
#include "support/exit_codes.h"
#include "support/startup_trace.h"
#include "ui/answering_backend.h"
#include "ui/backend.h"
#include "ui/headless/headless_backend.h"
#include "ui/win32/native_backend.h"

namespace {

// Checks the unattended switches and the answer file before anything else.
int CheckUnattended(const TUnattendedOptions& options, TAnswerFile& answers) {
  if (options.LoadInf.empty()) {
    if (options.VerySilent && options.SilentFirst) {
      ReportLine("Error: /VERYSILENT needs the answers of /LOADINF");
      return kExitBadAnswers;
    }
    return kExitSuccess;
  }
  if (!options.SilentFirst) {
    ReportLine("Error: /LOADINF needs /SILENT as the first argument");
    return kExitBadAnswers;
  }
  std::string error;
  if (!LoadAnswerFile(options.LoadInf, answers, error)) {
    ReportLine("Error: " + error);
    return kExitBadAnswers;
  }
  if (options.VerySilent && answers.ConfigurationWizard.value_or(false) && !answers.Configure) {
    ReportLine(
        "Error: [Finish] ConfigurationWizard: without windows the configuration needs "
        "the section [Configuration]");
    return kExitBadAnswers;
  }
  return kExitSuccess;
}

}  // namespace

int main() {
  bool windowless = false;
  try {
    StartupTrace("main");
    const TUnattendedOptions options = ReadUnattendedOptions(platform::CurrentSystem().Arguments());
    if (options.Help) {
      platform::WriteStandardOutput(UnattendedUsage());
      return kExitSuccess;
    }
    TAnswerFile answers;
    if (const int refused = CheckUnattended(options, answers); refused != kExitSuccess)
      return refused;
    windowless = options.VerySilent;
    std::unique_ptr<ui::TBackend> backend;
    ui::THeadlessBackend* headless = nullptr;
    std::unique_ptr<ui::TAnsweringBackend> answering;
    if (windowless) {
      ReportWaitsAtExit();
      auto made = std::make_unique<ui::THeadlessBackend>();
      headless = made.get();
      backend = std::move(made);
    } else {
      backend = ui::MakeNativeBackend();
      // The wizard walks itself in its windows: the language chooser and
      // the database dialog are answered, not waited for.
      if (!options.LoadInf.empty()) answering = std::make_unique<ui::TAnsweringBackend>(*backend);
    }
    StartupTrace("backend");
    TApplicationWindows windows = CreateApplicationWindows();
    StartupTrace("windows created");
    BindWizard(windows);
    PrepareUnattended(windows, headless, answering.get(), options,
                      options.LoadInf.empty() ? nullptr : &answers);
    FormShow(windows);
    StartupTrace("first page shown");
    if (!windowless) ui::ShowForm(windows.MainForm);
    if (!options.LoadInf.empty()) WalkWizard(windows, answers, windowless);
    backend->Run();
  } catch (const std::exception& error) {
    // Nothing is installed yet (the run ends the program itself); say why
    // the installer cannot go on, if a box can be shown at all.
    if (windowless) {
      ReportLine(std::string("Error: ") + error.what());
      return kExitFailedBeforeInstall;
    }
    try {
      ui::ShowMessageBox(error.what(), "Setup", ui::TMessageButtons::Ok, ui::TMessageIcon::Error);
    } catch (...) {
    }
    return kExitFailedBeforeInstall;
  }
  return kExitSuccess;
}
