// The main window: a fixed-size wizard of stacked pages under a header band,
// with the button row at the bottom. This is its design-time content; the
// page logic binds to these controls.
#pragma once

#include "app/installer_state.h"
#include "support/advanced_registry.h"
#include "ui/form.h"

class TMainForm : public ui::TForm {
 public:
  static constexpr int kClientWidth = 495;
  static constexpr int kClientHeight = 341;
  static constexpr int kHeaderHeight = 57;
  static constexpr int kButtonRowHeight = 39;

  TMainForm();

  // The header band.
  ui::TControl* TopPanel = nullptr;
  ui::TControl* PageCaption = nullptr;
  ui::TControl* ImageLogo = nullptr;
  ui::TControl* TopDividePanel = nullptr;
  // The button row.
  ui::TControl* BottomPanel = nullptr;
  ui::TControl* HelpButton = nullptr;
  ui::TControl* BackButton = nullptr;
  ui::TControl* NextButton = nullptr;
  ui::TControl* CloseButton = nullptr;
  // The page area and its pages, in page order.
  ui::TControl* BackPanel = nullptr;

  // Page 0, welcome.
  ui::TControl* WelcomePanel = nullptr;
  ui::TControl* LeftImage = nullptr;
  ui::TControl* AboutLabel = nullptr;
  ui::TControl* TextLabel = nullptr;
  ui::TControl* TipBLabel = nullptr;
  // Page 1, licence agreement.
  ui::TControl* LicensePanel = nullptr;
  ui::TControl* LicenseLabel = nullptr;
  ui::TControl* LicenseMemo = nullptr;
  ui::TControl* LicenseAgree = nullptr;
  // Page 2, user details.
  ui::TControl* CredentialsPanel = nullptr;
  ui::TControl* UserDetailsBox = nullptr;
  ui::TControl* NameLabel = nullptr;
  ui::TControl* NameEdit = nullptr;
  ui::TControl* EmailLabel = nullptr;
  ui::TControl* EmailEdit = nullptr;
  ui::TControl* CompanyLabel = nullptr;
  ui::TControl* CompanyEdit = nullptr;
  ui::TControl* CountryLabel = nullptr;
  ui::TControl* CountryEdit = nullptr;
  // Page 3, setup type.
  ui::TControl* SetupTypePanel = nullptr;
  ui::TControl* SetupTypeLabel = nullptr;
  ui::TControl* NewSetupMode = nullptr;
  ui::TControl* SetupModeBasic = nullptr;
  ui::TControl* SetupModeAdvanced = nullptr;
  // Page 4, components.
  ui::TControl* SetupComponents = nullptr;
  ui::TControl* SelectLabelsL = nullptr;
  ui::TControl* ComponentsBox = nullptr;
  ui::TControl* ComponentsList = nullptr;
  // Page 5, destination.
  ui::TControl* InstallPanel = nullptr;
  ui::TControl* InstallLabel = nullptr;
  ui::TControl* FolderBox = nullptr;
  ui::TControl* PathEdit = nullptr;
  ui::TControl* BrowseButton = nullptr;
  // Page 6, installation.
  ui::TControl* InstallingPanel = nullptr;
  ui::TControl* InstallPanelText = nullptr;
  ui::TControl* ProgressBar = nullptr;
  // Page 7, finish.
  ui::TControl* FinishedPanel = nullptr;
  ui::TControl* SetupComplete = nullptr;
  ui::TControl* ActionsBox = nullptr;
  ui::TControl* RunConfig = nullptr;
  ui::TControl* RunTutorial = nullptr;
  ui::TControl* ShowTutorial = nullptr;
  ui::TControl* WMUpgradePanel = nullptr;
  ui::TControl* OpenWMGuideCheckbox = nullptr;
  ui::TControl* WMURLLabel = nullptr;
  ui::TControl* WMHintLabel = nullptr;

  // The small label panel in the lower left corner, above the button row.
  ui::TControl* NivalisSetupPanel = nullptr;

  // The page panels by page index 0..7 (page 8 keeps page 7 in view).
  static constexpr int kPageCount = 8;
  ui::TControl* PagePanel(int pageIndex) const;

  // The installer's state, held here for the whole run.
  TInstallerState State;
  // The shell folders of the user (switched to the machine's for "Common
  // Programs").
  TAdvancedRegistry AdvancedRegistry{TRegistryKey::hkCURRENT_USER,
                                     "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer",
                                     "Shell Folders"};
  // The suite's entry in the system's list of installed programs.
  TAdvancedRegistry AdvancedRegistryInstall{
      TRegistryKey::hkLOCAL_MACHINE, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
      "Tolva"};
  // The product key; start-up points it at the suite's key.
  TAdvancedRegistry PathRegistry{TRegistryKey::hkLOCAL_MACHINE, "\\Software", "Tolva"};
};
