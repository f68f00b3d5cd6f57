// Showing the wizard's pages: which panel is in view, the header caption,
// the captions and states of the button row, and the rules that enable the
// Next button on the licence and user-details pages.
#pragma once

#include <string_view>

#include "app/main_form.h"

// Shows the page of form.State.PageIndex (0..8).
void ShowPage(TMainForm& form);

// Next is enabled while the licence is agreed to, or on any other page.
void LicenseDisagreeClick(TMainForm& form);
// Next is enabled while the name is not blank and the e-mail address has
// the shape name@domain.tld.
void NameEditChange(TMainForm& form);
bool UserDetailsComplete(std::string_view name, std::string_view email);

// The cancel question; Yes ends the program with exit code 0.
void CloseButtonClick(TMainForm& form);

// Binds the handlers above to the main window's controls.
void BindWizardPages(TMainForm& form);
