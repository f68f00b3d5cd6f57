// What the configuration wizard's window does: four pages walked with
// "< Back" and "Next >", each page's field required before going on, and
// "&Finish" on the last page closing the window with OK.
#pragma once

#include "wizard/setup_wizard_form.h"

// Shows the page of form.PageIndex: its panel and title, the focus on its
// field, and the buttons' states.
void ShowWizardPage(TSetupWizardForm& form);

// Page 0 again, with the host name, user name and password emptied; the
// domain keeps what was typed.
void FormShow(TSetupWizardForm& form);
void PreviousButtonClick(TSetupWizardForm& form);
// Past the last page the window closes with OK.
void NextButtonClick(TSetupWizardForm& form);
// Esc closes the window as Cancel.
void FormKeyPress(TSetupWizardForm& form, char16_t& key);
// "Next >" follows the field that the changed edit's tag names.
void NameEditChange(TSetupWizardForm& form, ui::TControl& sender);

// Binds the handlers above to the window's events.
void BindSetupWizardForm(TSetupWizardForm& form);
