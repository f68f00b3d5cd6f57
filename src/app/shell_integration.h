// The main window's side of the shortcuts, the uninstall entry and the
// uninstall: what it holds that they need.
#pragma once

#include "app/main_form.h"
#include "system/shell_registries.h"

TShellRegistries ShellRegistriesOf(TMainForm& form);

// The program group, shortcuts, uninstall entry and product key for the
// installation in form.State.InstallPath, with the components, mode and
// user details the wizard holds.
void CreateIcons(TMainForm& form);

// The removal that "/UNINSTALL" runs after its question; unattended, the
// folder that remains is not opened.
void RunUninstall(TMainForm& form, bool unattended = false);
