// setup.exe: the windows on the real system's user interface, the start-up
// sequence, then the wizard until an explicit end of the program.
#include <exception>
#include <memory>

#include "app/startup.h"
#include "app/windows.h"
#include "app/wizard_navigation.h"
#include "support/exit_codes.h"
#include "support/startup_trace.h"
#include "ui/backend.h"
#include "ui/win32/native_backend.h"

int main() {
  try {
    StartupTrace("main");
    const std::unique_ptr<ui::TBackend> backend = ui::MakeNativeBackend();
    StartupTrace("backend");
    TApplicationWindows windows = CreateApplicationWindows();
    StartupTrace("windows created");
    BindWizard(windows);
    FormShow(windows);
    StartupTrace("first page shown");
    ui::ShowForm(windows.MainForm);
    backend->Run();
  } catch (const std::exception& error) {
    // Nothing is installed yet (the run ends the program itself); say why
    // the installer cannot go on, if a box can be shown at all.
    try {
      ui::ShowMessageBox(error.what(), "Setup", ui::TMessageButtons::Ok, ui::TMessageIcon::Error);
    } catch (...) {
    }
    return kExitFailedBeforeInstall;
  }
  return kExitSuccess;
}
