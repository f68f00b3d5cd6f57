// setup.exe: the windows on the real system's user interface, the start-up
// sequence, then the wizard until an explicit end of the program.
#include <exception>

#include "app/exit_codes.h"
#include "app/startup.h"
#include "app/windows.h"
#include "app/wizard_navigation.h"
#include "ui/backend.h"
#include "ui/win32/win32_backend.h"

int main() {
  ui::TWin32Backend backend;
  TApplicationWindows windows = CreateApplicationWindows();
  BindWizard(windows);
  try {
    FormShow(windows);
  } catch (const std::exception& error) {
    // Nothing is installed yet; say why the installer cannot go on.
    ui::ShowMessageBox(error.what(), "Setup", ui::TMessageButtons::Ok, ui::TMessageIcon::Error);
    return kExitFailedBeforeInstall;
  }
  ui::ShowForm(windows.MainForm);
  backend.Run();
  return kExitSuccess;
}
