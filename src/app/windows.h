// The program's windows, made once at start in ownership order (the order
// the language file lists them in) and kept for the whole run.
#pragma once

#include "app/browse_folder.h"
#include "app/lang_select_form.h"
#include "app/main_form.h"
#include "database/odbc_form.h"
#include "wizard/setup_wizard_form.h"

struct TApplicationWindows {
  TMainForm& MainForm;
  TBrowseFolder& BrowseFolder;
  TODBCForm& ODBCForm;
  TSetupWizardForm& SetupWizardForm;
  TLangSelectForm& LangSelectForm;
};

// Titles the application "Setup", creates the five windows in the
// application object (and in the installed backend, if any) and binds the
// component captions to the main window's tree. Any windows made before are
// destroyed first.
TApplicationWindows CreateApplicationWindows();
// Destroys them again and unbinds the tree.
void DestroyApplicationWindows();
