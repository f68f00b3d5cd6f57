// Moving through the wizard: one handler for Back and Next (the sender's
// tag tells which), and what arriving at each page sets off.
#pragma once

#include "app/windows.h"
#include "ui/control.h"

// Next (tag not 0) or Back; then the page is shown and its arrival action
// runs: the country settings (3), the components page (4), leaving it (5),
// the installation (6) and the finish (8).
void BackButtonClick(TApplicationWindows& windows, ui::TControl& sender);

// Next on page 3 with Advanced chosen: the database dialog; true when it
// was closed with OK and the connection string taken from it.
bool RunDatabaseStep(TApplicationWindows& windows);

// Binds every handler of the main window and its dialogs.
void BindWizard(TApplicationWindows& windows);
