// The configuration wizard shown after the installation: host name,
// primary domain, administrator, and a closing page.
#pragma once

#include <string>

#include "ui/form.h"

class TSetupWizardForm : public ui::TForm {
 public:
  static constexpr int kClientWidth = 400;
  static constexpr int kClientHeight = 260;
  static constexpr int kPageCount = 4;

  // The tags of the checked edits tell which field NameEditChange checks.
  static constexpr int kTagHostName = 0;
  static constexpr int kTagUserName = 1;
  static constexpr int kTagDomain = 2;

  TSetupWizardForm();

  // The page in view, 0 to 3; 4 only while the wizard closes with OK.
  int PageIndex = 0;
  // The caption "Next >" had before the last page renamed it.
  std::string NextCaption;

  ui::TControl* TitlePanel = nullptr;
  ui::TControl* TitleLabel = nullptr;
  ui::TControl* ButtonPanel = nullptr;
  ui::TControl* PreviousButton = nullptr;
  ui::TControl* NextButton = nullptr;
  ui::TControl* CancelButton = nullptr;

  // Page 0: host name.
  ui::TControl* HostNamePanel = nullptr;
  ui::TControl* HostNameInfoLabel = nullptr;
  ui::TControl* HostNameLabel = nullptr;
  ui::TControl* HostNameEdit = nullptr;
  ui::TControl* HostNameExample = nullptr;
  // Page 1: primary domain.
  ui::TControl* DomainPanel = nullptr;
  ui::TControl* DomainInfoLabel = nullptr;
  ui::TControl* DomainLabel = nullptr;
  ui::TControl* DomainEdit = nullptr;
  ui::TControl* DomainExample = nullptr;
  // Page 2: administrator.
  ui::TControl* AdminPanel = nullptr;
  ui::TControl* AdminInfoLabel = nullptr;
  ui::TControl* UserLabel = nullptr;
  ui::TControl* UserEdit = nullptr;
  ui::TControl* UserExample = nullptr;
  ui::TControl* PasswordLabel = nullptr;
  ui::TControl* PasswordEdit = nullptr;
  // Page 3: complete.
  ui::TControl* CompletePanel = nullptr;
  ui::TControl* CompleteLabel = nullptr;

  ui::TControl* PagePanel(int page) const;
};
