#include "app/main_form.h"

#include "app/country_list.h"
#include "components/component_tree.h"

using ui::ControlKind;
using ui::TAlign;
using ui::TRect;

namespace {

constexpr int kPageWidth = TMainForm::kClientWidth;
constexpr int kPageHeight =
    TMainForm::kClientHeight - TMainForm::kHeaderHeight - 2 - TMainForm::kButtonRowHeight;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

}  // namespace

TMainForm::TMainForm() : TForm("TMainForm", "MainForm") {
  SetCaption("Setup");
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(ui::TBorderStyle::Single);
  SetBorderIcons({.SystemMenu = true, .Minimize = true, .Maximize = false});
  SetPosition(ui::TFormPosition::ScreenCenter);
  SetKeyPreview(true);

  auto add = [this](ControlKind kind, const char* name, ui::TControl* parent,
                    const TRect& bounds) -> ui::TControl& {
    return AddControl(kind, name, parent, bounds);
  };
  auto page = [&](const char* name) -> ui::TControl* {
    return &add(ControlKind::Panel, name, BackPanel, {0, 0, kPageWidth, kPageHeight})
                .SetAlign(TAlign::Client);
  };

  TopPanel = &add(ControlKind::Panel, "TopPanel", nullptr, {0, 0, kClientWidth, kHeaderHeight})
                  .SetAlign(TAlign::Top)
                  .SetColor(ui::kColorWhite);
  PageCaption = &add(ControlKind::Label, "PageCaption", TopPanel, {16, 12, 400, 16})
                     .SetFont(ui::TFont().Bolded());
  ImageLogo = &add(ControlKind::Image, "ImageLogo", TopPanel, {438, 4, 49, 49}).SetPicture("LOGO");
  TopDividePanel =
      &add(ControlKind::Panel, "TopDividePanel", nullptr, {0, kHeaderHeight, kClientWidth, 2})
           .SetAlign(TAlign::Top);

  BottomPanel = &add(ControlKind::Panel, "BottomPanel", nullptr,
                     {0, kClientHeight - kButtonRowHeight, kClientWidth, kButtonRowHeight})
                     .SetAlign(TAlign::Bottom);
  const int buttonTop = (kButtonRowHeight - kButtonHeight) / 2;
  const int closeLeft = kClientWidth - 8 - kButtonWidth;
  const int nextLeft = closeLeft - 12 - kButtonWidth;
  const int backLeft = nextLeft - kButtonWidth;
  HelpButton = &add(ControlKind::Button, "HelpButton", BottomPanel,
                    {8, buttonTop, kButtonWidth, kButtonHeight})
                    .SetText("&Help");
  BackButton = &add(ControlKind::Button, "BackButton", BottomPanel,
                    {backLeft, buttonTop, kButtonWidth, kButtonHeight})
                    .SetText("< &Back")
                    .SetTag(0);
  NextButton = &add(ControlKind::Button, "NextButton", BottomPanel,
                    {nextLeft, buttonTop, kButtonWidth, kButtonHeight})
                    .SetText("&Next >")
                    .SetTag(1);
  CloseButton = &add(ControlKind::Button, "CloseButton", BottomPanel,
                     {closeLeft, buttonTop, kButtonWidth, kButtonHeight})
                     .SetText("&Cancel");

  BackPanel = &add(ControlKind::Panel, "BackPanel", nullptr,
                   {0, kHeaderHeight + 2, kPageWidth, kPageHeight})
                   .SetAlign(TAlign::Client);

  // Page 0: welcome.
  WelcomePanel = page("WelcomePanel");
  LeftImage = &add(ControlKind::Image, "LeftImage", WelcomePanel, {0, 0, 165, kPageHeight})
                   .SetAlign(TAlign::Left)
                   .SetPicture("WELCOME");
  AboutLabel = &add(ControlKind::Label, "AboutLabel", WelcomePanel, {180, 16, 300, 44})
                    .SetText("Welcome to Nivalis Tolva Mail Server %s")
                    .SetFont(ui::TFont().Sized(12).Bolded())
                    .SetWordWrap(true);
  TextLabel = &add(ControlKind::Label, "TextLabel", WelcomePanel, {180, 72, 300, 120})
                   .SetText(
                       "This program installs Nivalis Tolva Mail Server, the server for mail, "
                       "web mail, instant messaging, voice and groupware, on this computer."
                       "\r\n\r\nIt is recommended that you close all other programs before "
                       "you continue.")
                   .SetWordWrap(true);
  TipBLabel = &add(ControlKind::Label, "TipBLabel", WelcomePanel, {180, 210, 300, 16})
                   .SetText("Click Next to continue with the Setup program.");

  // Page 1: licence agreement.
  LicensePanel = page("LicensePanel");
  LicenseLabel = &add(ControlKind::Label, "LicenseLabel", LicensePanel, {16, 8, 463, 16})
                      .SetText("Do you agree with the following license agreement?");
  LicenseMemo = &add(ControlKind::Memo, "LicenseMemo", LicensePanel, {16, 28, 463, 180})
                     .SetReadOnly(true)
                     .SetColor(ui::kColorWhite)
                     .SetScrollBars(ui::TScrollBars::Vertical)
                     .SetWordWrap(true);
  LicenseAgree = &add(ControlKind::CheckBox, "LicenseAgree", LicensePanel, {16, 216, 463, 17})
                      .SetText("I agree with the license agreement");

  // Page 2: user details.
  CredentialsPanel = page("CredentialsPanel");
  UserDetailsBox =
      &add(ControlKind::GroupBox, "UserDetailsBox", CredentialsPanel, {16, 16, 463, 164})
           .SetText("User Details");
  struct Field {
    ui::TControl** Label;
    const char* LabelName;
    const char* Caption;
    ui::TControl** Edit;
    const char* EditName;
    ControlKind Kind;
  };
  const Field fields[] = {
      {&NameLabel, "NameLabel", "Name:", &NameEdit, "NameEdit", ControlKind::Edit},
      {&EmailLabel, "EmailLabel", "E-mail:", &EmailEdit, "EmailEdit", ControlKind::Edit},
      {&CompanyLabel, "CompanyLabel", "Organization:", &CompanyEdit, "CompanyEdit",
       ControlKind::Edit},
      {&CountryLabel, "CountryLabel", "Country:", &CountryEdit, "CountryEdit",
       ControlKind::ComboBox},
  };
  int top = 28;
  for (const Field& field : fields) {
    *field.Label = &add(ControlKind::Label, field.LabelName, UserDetailsBox, {16, top + 4, 96, 13})
                        .SetText(field.Caption);
    *field.Edit = &add(field.Kind, field.EditName, UserDetailsBox, {120, top, 327, 21});
    (*field.Label)->SetLinked(*field.Edit);
    top += 32;
  }
  // A drop-down list of its fixed entries only; nothing chosen at start.
  CountryEdit->SetEditable(false).SetItems(CountryListItems());

  // Page 3: setup type.
  SetupTypePanel = page("SetupTypePanel");
  SetupTypeLabel = &add(ControlKind::Label, "SetupTypeLabel", SetupTypePanel, {16, 16, 463, 32})
                        .SetText(
                            "Choose how the server stores its accounts. The mode suits the "
                            "number of accounts it is to serve.")
                        .SetWordWrap(true);
  NewSetupMode = &add(ControlKind::GroupBox, "NewSetupMode", SetupTypePanel, {16, 56, 463, 84})
                      .SetText("Installation Mode");
  SetupModeBasic = &add(ControlKind::RadioButton, "SetupModeBasic", NewSetupMode, {16, 24, 431, 17})
                        .SetText("Basic (recommended for under 100 accounts)")
                        .SetChecked(true);
  SetupModeAdvanced =
      &add(ControlKind::RadioButton, "SetupModeAdvanced", NewSetupMode, {16, 52, 431, 17})
           .SetText("Advanced (100+ accounts, requires external database)");

  // Page 4: components.
  SetupComponents = page("SetupComponents");
  SelectLabelsL = &add(ControlKind::Label, "SelectLabelsL", SetupComponents, {16, 8, 463, 32})
                       .SetText(
                           "Select components you want to have installed. Selected components "
                           "not found in this package will be automatically downloaded from the "
                           "Internet.")
                       .SetWordWrap(true);
  ComponentsBox = &add(ControlKind::GroupBox, "ComponentsBox", SetupComponents, {16, 44, 463, 190})
                       .SetText("Components");
  ComponentsList = &add(ControlKind::TreeView, "ComponentsList", ComponentsBox, {8, 16, 447, 166})
                        .SetReadOnly(true);
  FillComponentTree(*ComponentsList);

  // Page 5: destination.
  InstallPanel = page("InstallPanel");
  InstallLabel = &add(ControlKind::Label, "InstallLabel", InstallPanel, {16, 16, 463, 48})
                      .SetText(
                          "Click the Browse button to select the destination directory. Click "
                          "the Install button to start copying files and to finish the setup "
                          "process.")
                      .SetWordWrap(true);
  FolderBox = &add(ControlKind::GroupBox, "FolderBox", InstallPanel, {16, 150, 463, 57})
                   .SetText("Destination Directory");
  // A label: the destination changes only through the folder chooser.
  PathEdit = &add(ControlKind::Label, "PathEdit", FolderBox, {16, 26, 344, 13}).SetText("Tolva\\");
  BrowseButton =
      &add(ControlKind::Button, "BrowseButton", FolderBox, {372, 20, kButtonWidth, kButtonHeight})
           .SetText("&Browse...");

  // Page 6: installation.
  InstallingPanel = page("InstallingPanel");
  InstallPanelText =
      &add(ControlKind::Label, "InstallPanelText", InstallingPanel, {16, 80, 463, 16});
  ProgressBar = &add(ControlKind::ProgressBar, "ProgressBar", InstallingPanel, {16, 104, 463, 17});

  // Page 7: finish.
  FinishedPanel = page("FinishedPanel");
  SetupComplete = &add(ControlKind::Label, "SetupComplete", FinishedPanel, {16, 16, 463, 16})
                       .SetText("Installation was successful.");
  ActionsBox = &add(ControlKind::GroupBox, "ActionsBox", FinishedPanel, {16, 44, 463, 184})
                    .SetText("Actions");
  RunConfig = &add(ControlKind::CheckBox, "RunConfig", ActionsBox, {16, 24, 431, 17})
                   .SetText("Open Administration Interface");
  RunTutorial = &add(ControlKind::CheckBox, "RunTutorial", ActionsBox, {16, 48, 431, 17})
                     .SetText("Run Installation Wizard")
                     .SetChecked(true);
  ShowTutorial = &add(ControlKind::CheckBox, "ShowTutorial", ActionsBox, {16, 72, 431, 17})
                      .SetText("View Quick Start")
                      .SetChecked(true);
  WMUpgradePanel =
      &add(ControlKind::Panel, "WMUpgradePanel", ActionsBox, {8, 96, 447, 80}).SetVisible(false);
  OpenWMGuideCheckbox =
      &add(ControlKind::CheckBox, "OpenWMGuideCheckbox", WMUpgradePanel, {8, 0, 431, 17})
           .SetText("View WebMail Guide")
           .SetChecked(true);
  WMURLLabel = &add(ControlKind::Label, "WMURLLabel", WMUpgradePanel, {26, 20, 413, 13})
                    .SetFont(ui::TFont().Underlined().Colored(ui::kColorBlue))
                    .SetCursor(ui::TCursor::Hand);
  WMHintLabel = &add(ControlKind::Label, "WMHintLabel", WMUpgradePanel, {8, 40, 431, 36})
                     .SetText(
                         "VevErod Oro has been installed but VizUdid Azadi remains default. See "
                         "the webmail guide for more information.")
                     .SetWordWrap(true);

  NivalisSetupPanel = &add(ControlKind::Panel, "NivalisSetupPanel", nullptr,
                           {4, kClientHeight - kButtonRowHeight - 14, 120, 13})
                           .SetText("Nivalis Setup System")
                           .SetFont(ui::TFont().Sized(7).Colored(ui::kColorButtonShadow));
}

ui::TControl* TMainForm::PagePanel(int pageIndex) const {
  ui::TControl* const pages[kPageCount] = {WelcomePanel,    LicensePanel,    CredentialsPanel,
                                           SetupTypePanel,  SetupComponents, InstallPanel,
                                           InstallingPanel, FinishedPanel};
  if (pageIndex < 0) return nullptr;
  return pages[pageIndex < kPageCount ? pageIndex : kPageCount - 1];
}
