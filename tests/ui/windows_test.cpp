#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/country_list.h"
#include "app/windows.h"
#include "components/component_tree.h"
#include "localization/component_captions.h"
#include "support/text.h"
#include "ui/application.h"
#include "ui/headless/headless_backend.h"
#include "ui/layout.h"

using ui::ControlKind;
using ui::TControl;

namespace {

class Windows : public ::testing::Test {
 protected:
  Windows() : windows(CreateApplicationWindows()) {}
  ~Windows() override { DestroyApplicationWindows(); }

  TApplicationWindows windows;
};

void ExpectControl(const ui::TForm& form, const char* name, ControlKind kind, const char* text) {
  SCOPED_TRACE(name);
  TControl* control = form.FindControl(name);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->Kind(), kind);
  EXPECT_EQ(control->Text(), text);
}

}  // namespace

TEST_F(Windows, AreCreatedInOwnershipOrder) {
  const auto& forms = ui::Application().Forms();
  ASSERT_EQ(forms.size(), 5u);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"TMainForm", "MainForm"},
      {"TBrowseFolder", "BrowseFolder"},
      {"TODBCForm", "ODBCForm"},
      {"TSetupWizardForm", "SetupWizardForm"},
      {"TLangSelectForm", "LangSelectForm"}};
  for (size_t i = 0; i < forms.size(); ++i) {
    EXPECT_EQ(forms[i]->ClassName(), expected[i].first);
    EXPECT_EQ(forms[i]->Name(), expected[i].second);
  }
  EXPECT_EQ(forms[0].get(), &windows.MainForm);
  EXPECT_EQ(forms[4].get(), &windows.LangSelectForm);
  EXPECT_EQ(ui::Application().Title(), "Setup");
  EXPECT_EQ(ComponentTree(), windows.MainForm.ComponentsList);

  // Made again, the windows replace the earlier ones, and an installed
  // backend makes its own for each of them, in the same order.
  ui::THeadlessBackend backend;
  TApplicationWindows again = CreateApplicationWindows();
  EXPECT_EQ(ui::Application().Forms().size(), 5u);
  EXPECT_EQ(ComponentTree(), again.MainForm.ComponentsList);
  EXPECT_EQ(backend.CreatedForms(),
            (std::vector<std::string>{"TMainForm", "TBrowseFolder", "TODBCForm", "TSetupWizardForm",
                                      "TLangSelectForm"}));
}

TEST_F(Windows, MainWindowHasItsSizesAndButtonRow) {
  TMainForm& form = windows.MainForm;
  EXPECT_EQ(form.ClientWidth(), 495);
  EXPECT_EQ(form.ClientHeight(), 341);
  EXPECT_EQ(form.BorderStyle(), ui::TBorderStyle::Single);
  EXPECT_TRUE(form.BorderIcons().SystemMenu);
  EXPECT_TRUE(form.BorderIcons().Minimize);
  EXPECT_FALSE(form.BorderIcons().Maximize);
  EXPECT_EQ(form.Position(), ui::TFormPosition::ScreenCenter);
  EXPECT_TRUE(form.KeyPreview());

  ui::AlignControls(form);
  EXPECT_EQ(form.TopPanel->Bounds(), (ui::TRect{0, 0, 495, 57}));
  EXPECT_EQ(form.TopPanel->Color(), ui::kColorWhite);
  EXPECT_EQ(form.TopDividePanel->Bounds().Top, 57);
  EXPECT_EQ(form.BottomPanel->Bounds(), (ui::TRect{0, 302, 495, 39}));
  const ui::TRect area = form.BackPanel->Bounds();
  EXPECT_EQ(area.Top, form.TopDividePanel->Bounds().Bottom());
  EXPECT_EQ(area.Bottom(), 302);
  EXPECT_EQ(area.Width, 495);
  for (int page = 0; page < TMainForm::kPageCount; ++page) {
    SCOPED_TRACE(page);
    TControl* panel = form.PagePanel(page);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Parent(), form.BackPanel);
    EXPECT_EQ(panel->Bounds(), (ui::TRect{0, 0, area.Width, area.Height}));
  }
  EXPECT_EQ(form.PagePanel(8), form.FinishedPanel);
  EXPECT_EQ(form.LeftImage->Bounds().Width, 165);
  EXPECT_EQ(form.LeftImage->Bounds().Height, area.Height);

  // Page 0 hides the header; the pages then take its room.
  form.TopPanel->SetVisible(false);
  form.TopDividePanel->SetVisible(false);
  ui::AlignControls(form);
  EXPECT_EQ(form.BackPanel->Bounds(), (ui::TRect{0, 0, 495, 302}));

  EXPECT_EQ(form.BackButton->Tag(), 0);
  EXPECT_EQ(form.NextButton->Tag(), 1);
  EXPECT_EQ(form.HelpButton->Parent(), form.BottomPanel);
  EXPECT_LT(form.HelpButton->Bounds().Left, form.BackButton->Bounds().Left);
  EXPECT_LE(form.BackButton->Bounds().Right(), form.NextButton->Bounds().Left);
  EXPECT_LT(form.NextButton->Bounds().Right(), form.CloseButton->Bounds().Left);
  EXPECT_LE(form.CloseButton->Bounds().Right(), 495);
  // The label panel lies in the lower left corner, above the button row.
  const ui::TRect corner = form.NivalisSetupPanel->Bounds();
  EXPECT_EQ(form.NivalisSetupPanel->Parent(), nullptr);
  EXPECT_LE(corner.Bottom(), 302);
  EXPECT_LT(corner.Left, 20);
  EXPECT_EQ(form.NivalisSetupPanel->Font().Color, ui::kColorButtonShadow);
  EXPECT_TRUE(form.PageCaption->Font().Bold);
}

TEST_F(Windows, MainWindowPagesHoldTheirControls) {
  const TMainForm& form = windows.MainForm;
  ExpectControl(form, "HelpButton", ControlKind::Button, "&Help");
  ExpectControl(form, "BackButton", ControlKind::Button, "< &Back");
  ExpectControl(form, "NextButton", ControlKind::Button, "&Next >");
  ExpectControl(form, "CloseButton", ControlKind::Button, "&Cancel");
  ExpectControl(form, "NivalisSetupPanel", ControlKind::Panel, "Nivalis Setup System");
  ExpectControl(form, "TipBLabel", ControlKind::Label,
                "Click Next to continue with the Setup program.");
  ExpectControl(form, "LicenseLabel", ControlKind::Label,
                "Do you agree with the following license agreement?");
  ExpectControl(form, "LicenseMemo", ControlKind::Memo, "");
  ExpectControl(form, "LicenseAgree", ControlKind::CheckBox, "I agree with the license agreement");
  ExpectControl(form, "UserDetailsBox", ControlKind::GroupBox, "User Details");
  ExpectControl(form, "NameLabel", ControlKind::Label, "Name:");
  ExpectControl(form, "EmailLabel", ControlKind::Label, "E-mail:");
  ExpectControl(form, "CompanyLabel", ControlKind::Label, "Organization:");
  ExpectControl(form, "CountryLabel", ControlKind::Label, "Country:");
  ExpectControl(form, "NameEdit", ControlKind::Edit, "");
  ExpectControl(form, "EmailEdit", ControlKind::Edit, "");
  ExpectControl(form, "CompanyEdit", ControlKind::Edit, "");
  ExpectControl(form, "CountryEdit", ControlKind::ComboBox, "");
  ExpectControl(form, "NewSetupMode", ControlKind::GroupBox, "Installation Mode");
  ExpectControl(form, "SetupModeBasic", ControlKind::RadioButton,
                "Basic (recommended for under 100 accounts)");
  ExpectControl(form, "SetupModeAdvanced", ControlKind::RadioButton,
                "Advanced (100+ accounts, requires external database)");
  ExpectControl(form, "SelectLabelsL", ControlKind::Label,
                "Select components you want to have installed. Selected components not found "
                "in this package will be automatically downloaded from the Internet.");
  ExpectControl(form, "ComponentsBox", ControlKind::GroupBox, "Components");
  ExpectControl(form, "InstallLabel", ControlKind::Label,
                "Click the Browse button to select the destination directory. Click the "
                "Install button to start copying files and to finish the setup process.");
  ExpectControl(form, "FolderBox", ControlKind::GroupBox, "Destination Directory");
  ExpectControl(form, "PathEdit", ControlKind::Label, "Tolva\\");
  ExpectControl(form, "BrowseButton", ControlKind::Button, "&Browse...");
  ExpectControl(form, "InstallPanelText", ControlKind::Label, "");
  ExpectControl(form, "ProgressBar", ControlKind::ProgressBar, "");
  ExpectControl(form, "SetupComplete", ControlKind::Label, "Installation was successful.");
  ExpectControl(form, "ActionsBox", ControlKind::GroupBox, "Actions");
  ExpectControl(form, "RunConfig", ControlKind::CheckBox, "Open Administration Interface");
  ExpectControl(form, "RunTutorial", ControlKind::CheckBox, "Run Installation Wizard");
  ExpectControl(form, "ShowTutorial", ControlKind::CheckBox, "View Quick Start");
  ExpectControl(form, "OpenWMGuideCheckbox", ControlKind::CheckBox, "View WebMail Guide");
  ExpectControl(form, "WMHintLabel", ControlKind::Label,
                "VevErod Oro has been installed but VizUdid Azadi remains default. See the "
                "webmail guide for more information.");
  ExpectControl(form, "WMURLLabel", ControlKind::Label, "");
  ExpectControl(form, "ComponentsList", ControlKind::TreeView, "");
  EXPECT_NE(form.AboutLabel->Text().find("%s"), std::string::npos);

  // Initial states.
  EXPECT_FALSE(form.LicenseAgree->Checked());
  EXPECT_TRUE(form.SetupModeBasic->Checked());
  EXPECT_FALSE(form.SetupModeAdvanced->Checked());
  EXPECT_FALSE(form.RunConfig->Checked());
  EXPECT_TRUE(form.RunTutorial->Checked());
  EXPECT_TRUE(form.ShowTutorial->Checked());
  EXPECT_TRUE(form.OpenWMGuideCheckbox->Checked());
  EXPECT_FALSE(form.WMUpgradePanel->Visible());
  EXPECT_EQ(form.OpenWMGuideCheckbox->Parent(), form.WMUpgradePanel);
  EXPECT_EQ(form.WMURLLabel->Parent(), form.WMUpgradePanel);
  EXPECT_TRUE(form.WMURLLabel->Font().Underline);
  EXPECT_EQ(form.WMURLLabel->Font().Color, ui::kColorBlue);
  EXPECT_EQ(form.WMURLLabel->Cursor(), ui::TCursor::Hand);
  EXPECT_TRUE(form.LicenseMemo->ReadOnly());
  EXPECT_EQ(form.LicenseMemo->ScrollBars(), ui::TScrollBars::Vertical);
  EXPECT_EQ(form.LicenseMemo->Color(), ui::kColorWhite);
  EXPECT_TRUE(form.AboutLabel->Font().Bold);
  EXPECT_EQ(form.SetupModeBasic->Parent(), form.NewSetupMode);
  EXPECT_EQ(form.BrowseButton->Parent(), form.FolderBox);
  EXPECT_EQ(form.PathEdit->Parent(), form.FolderBox);
  EXPECT_EQ(form.NameEdit->Parent(), form.UserDetailsBox);
  EXPECT_EQ(form.ComponentsList->Parent(), form.ComponentsBox);
  EXPECT_TRUE(form.ComponentsList->ReadOnly());
}

TEST_F(Windows, CountryBoxOffersTheFixedListOnly) {
  const TControl& countries = *windows.MainForm.CountryEdit;
  EXPECT_FALSE(countries.Editable());
  EXPECT_EQ(countries.ItemIndex(), -1);
  const std::vector<std::string> items = countries.Items();
  ASSERT_EQ(items.size(), 247u);
  EXPECT_EQ(items.front(), "Afghanistan");
  EXPECT_EQ(items[245], "Zimbabwe");
  EXPECT_EQ(items.back(), "Other");
  EXPECT_TRUE(std::is_sorted(
      items.begin(), items.end() - 1,
      [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); }));
  std::set<std::string> unique(items.begin(), items.end());
  EXPECT_EQ(unique.size(), items.size());
  for (const std::string& item : items) {
    SCOPED_TRACE(item);
    EXPECT_EQ(Trim(item), item);
    EXPECT_TRUE(std::all_of(item.begin(), item.end(), [](char c) {
      return static_cast<unsigned char>(c) >= 32 && static_cast<unsigned char>(c) < 128;
    }));
  }
  for (const char* name : {"Austria", "Germany", "United States", "United Kingdom", "Switzerland",
                           "Czech Republic", "Slovakia", "Japan", "Brazil"})
    EXPECT_TRUE(unique.count(name)) << name;
  EXPECT_EQ(CountryListItems(), items);
}

TEST_F(Windows, ComponentTreeHoldsTheSixteenComponents) {
  struct Expected {
    int Id;
    const char* Caption;
    int ParentPosition;
    int State;
  };
  const Expected expected[16] = {
      {0, "Services and core files", -1, 0},
      {12, "Administration", -1, 0},
      {1, "Administration interface", 1, 0},
      {2, "Desktop icon", 1, 0},
      {3, "Quick launch icon", 1, 0},
      {13, "Modules", -1, 0},
      {4, "Webmail", 5, 0},
      {5, "Anti-Spam", 5, 0},
      {6, "Anti-Virus", 5, 0},
      {7, "GroupWare", 5, 0},
      {8, "Instant Messaging / VoIP", 5, 0},
      {9, "LDAP", 5, 0},
      {14, "Add-ons", -1, 0},
      {11, "ASpell", 12, 0},
      {10, "Wizards", 12, 0},
      {15, "Demo accounts", 12, 1},
  };
  const TControl& tree = *windows.MainForm.ComponentsList;
  ASSERT_EQ(tree.NodeCount(), 16u);
  EXPECT_EQ(tree.Nodes().size(), 4u);
  EXPECT_EQ(tree.SelectedNode(), nullptr);
  for (size_t position = 0; position < 16; ++position) {
    SCOPED_TRACE(position);
    const ui::TTreeNode* node = tree.NodeAt(position);
    EXPECT_EQ(node->Id(), expected[position].Id);
    EXPECT_EQ(node->Text(), expected[position].Caption);
    EXPECT_EQ(node->ImageIndex(), expected[position].State);
    EXPECT_EQ(node->SelectedIndex(), expected[position].State);
    EXPECT_EQ(tree.PositionOf(node->Parent()), expected[position].ParentPosition);
    EXPECT_FALSE(node->Expanded());
  }

  // Filling again starts over from the design-time content.
  TControl& live = *windows.MainForm.ComponentsList;
  live.NodeAt(15)->SetImageIndex(kStateChecked).SetText("changed");
  FillComponentTree(live);
  EXPECT_EQ(live.NodeCount(), 16u);
  EXPECT_EQ(live.NodeAt(15)->Text(), "Demo accounts");
  EXPECT_EQ(live.NodeAt(15)->ImageIndex(), kStateUnchecked);
}

TEST_F(Windows, FolderChooserHasItsControls) {
  const TBrowseFolder& form = windows.BrowseFolder;
  EXPECT_EQ(form.Caption(), "Choose Folder");
  EXPECT_EQ(form.ClientWidth(), 250);
  EXPECT_EQ(form.ClientHeight(), 266);
  EXPECT_EQ(form.Position(), ui::TFormPosition::ScreenCenter);
  EXPECT_TRUE(form.KeyPreview());
  ExpectControl(form, "ChooseLabel", ControlKind::Label, "Please choose the installation folder.");
  ExpectControl(form, "PathLabel", ControlKind::Label, "&Path: ");
  ExpectControl(form, "PathEdit", ControlKind::Edit, "");
  ExpectControl(form, "DirectoriesLabel", ControlKind::Label, "&Directories");
  ExpectControl(form, "DirectoryListBox", ControlKind::DirectoryList, "");
  ExpectControl(form, "DrivesLabel", ControlKind::Label, "Dr&ives:");
  ExpectControl(form, "DriveComboBox", ControlKind::DriveList, "");
  ExpectControl(form, "OKButton", ControlKind::Button, "&OK");
  ExpectControl(form, "CancelButton", ControlKind::Button, "&Cancel");
  ExpectControl(form, "Netbutton", ControlKind::Button, "&Network...");
  EXPECT_EQ(form.DriveComboBox->Linked(), form.DirectoryListBox);
  EXPECT_TRUE(form.OKButton->Default());
  EXPECT_EQ(form.OKButton->ModalResult(), ui::TModalResult::Ok);
  EXPECT_EQ(form.CancelButton->ModalResult(), ui::TModalResult::Cancel);
  for (const auto& control : form.Controls()) {
    SCOPED_TRACE(control->Name());
    EXPECT_GE(control->Bounds().Left, 0);
    EXPECT_LE(control->Bounds().Right(), form.ClientWidth());
    EXPECT_LE(control->Bounds().Bottom(), form.ClientHeight());
  }
}

TEST_F(Windows, DatabaseDialogHoldsUnicodeFields) {
  const TODBCForm& form = windows.ODBCForm;
  EXPECT_TRUE(form.Wide());
  EXPECT_EQ(form.Caption(), "Database");
  EXPECT_EQ(form.BorderStyle(), ui::TBorderStyle::ToolWindow);
  EXPECT_EQ(form.Position(), ui::TFormPosition::ScreenCenter);
  ExpectControl(form, "PrimaryConnBox", ControlKind::GroupBox, "Primary Connection");
  ExpectControl(form, "BackupConnBox", ControlKind::GroupBox, "Backup Connection");
  ExpectControl(form, "DatabaseBox", ControlKind::GroupBox, "Database");
  for (const char* prefix : {"", "Backup"}) {
    const std::string p = prefix;
    ExpectControl(form, (p + "DSNLabel").c_str(), ControlKind::Label, "DSN:");
    ExpectControl(form, (p + "ServerLabel").c_str(), ControlKind::Label, "Server:");
    ExpectControl(form, (p + "UserLabel").c_str(), ControlKind::Label, "Username:");
    ExpectControl(form, (p + "PasswordLabel").c_str(), ControlKind::Label, "Password:");
    EXPECT_TRUE(form.Control(p + "DSNEdit").Editable());
    EXPECT_EQ(form.Control(p + "PasswordEdit").PasswordChar(), u'*');
  }
  EXPECT_EQ(form.Primary.DSN->Parent(), form.PrimaryConnBox);
  EXPECT_EQ(form.Backup.Password->Parent(), form.BackupConnBox);
  ExpectControl(form, "SyntaxLabel", ControlKind::Label, "Syntax:");
  ExpectControl(form, "DriverLabel", ControlKind::Label, "Driver:");
  EXPECT_EQ(form.SyntaxCombo->Items(),
            (std::vector<std::string>{"Default", "MS Access", "MS SQL", "My SQL", "InterBase",
                                      "Oracle", "Firebird", "SQLite"}));
  EXPECT_EQ(form.DriverCombo->Items(),
            (std::vector<std::string>{"ODBC", "My SQL", "SQLite", "Firebird"}));
  EXPECT_FALSE(form.SyntaxCombo->Editable());
  EXPECT_FALSE(form.DriverCombo->Editable());
  EXPECT_EQ(form.SyntaxCombo->ItemIndex(), 0);
  EXPECT_EQ(form.DriverCombo->ItemIndex(), 0);
  ExpectControl(form, "TestButton", ControlKind::Button, "Test Connection");
  ExpectControl(form, "CreateTablesBut", ControlKind::Button, "Create Tables");
  ExpectControl(form, "DropTablesBut", ControlKind::Button, "Drop Tables");
  ExpectControl(form, "OKButton", ControlKind::Button, "&OK");
  ExpectControl(form, "CancelButton", ControlKind::Button, "&Cancel");
  EXPECT_TRUE(form.OKButton->Default());
  // Groups follow each other from top to bottom, the buttons last.
  EXPECT_LT(form.PrimaryConnBox->Bounds().Bottom(), form.BackupConnBox->Bounds().Top);
  EXPECT_LT(form.BackupConnBox->Bounds().Bottom(), form.DatabaseBox->Bounds().Top);
  EXPECT_LT(form.DatabaseBox->Bounds().Bottom(), form.OKButton->Bounds().Top);
  EXPECT_LE(form.CancelButton->Bounds().Bottom(), form.ClientHeight());

  // A Unicode data source name stays as typed.
  form.Primary.DSN->SetWideText(u"\u0431\u0430\u0437\u0430");
  EXPECT_EQ(form.Primary.DSN->WideText(), u"\u0431\u0430\u0437\u0430");
}

TEST_F(Windows, DatabaseDialogClosesAsCancelOnEsc) {
  ui::THeadlessBackend backend;
  backend.WhenModal("TODBCForm", [&](ui::TForm& form) {
    EXPECT_TRUE(backend.Type(*windows.ODBCForm.Primary.Server, "db.example.com"));
    backend.PressKey(ui::kKeyEscape);
    EXPECT_FALSE(form.Visible());
  });
  EXPECT_EQ(ui::ShowModal(windows.ODBCForm), ui::TModalResult::Cancel);
  EXPECT_EQ(backend.ModalsLeftOpen(), 0u);
}

TEST_F(Windows, ConfigurationWizardHasFourPages) {
  const TSetupWizardForm& form = windows.SetupWizardForm;
  EXPECT_EQ(form.Caption(), "Wizard");
  EXPECT_EQ(form.BorderStyle(), ui::TBorderStyle::Dialog);
  EXPECT_EQ(form.Position(), ui::TFormPosition::ScreenCenter);
  ExpectControl(form, "PreviousButton", ControlKind::Button, "< Back");
  ExpectControl(form, "NextButton", ControlKind::Button, "Next >");
  ExpectControl(form, "CancelButton", ControlKind::Button, "Cancel");
  EXPECT_TRUE(form.NextButton->Default());
  EXPECT_TRUE(form.CancelButton->Cancel());
  EXPECT_EQ(form.CancelButton->ModalResult(), ui::TModalResult::Cancel);
  EXPECT_EQ(form.TitlePanel->Color(), ui::kColorWhite);
  EXPECT_EQ(form.TitlePanel->Align(), ui::TAlign::Top);

  ExpectControl(form, "HostNameInfoLabel", ControlKind::Label,
                "Enter the hostname of the mail server computer. It must not be blank. ");
  ExpectControl(form, "HostNameLabel", ControlKind::Label, "Hostname:");
  ExpectControl(form, "DomainInfoLabel", ControlKind::Label,
                "Enter the name of the primary domain.");
  ExpectControl(form, "DomainLabel", ControlKind::Label, "Domain:");
  ExpectControl(form, "AdminInfoLabel", ControlKind::Label,
                "Enter the username and password of the primary domain administrator. ");
  ExpectControl(form, "UserLabel", ControlKind::Label, "Username:");
  ExpectControl(form, "UserExample", ControlKind::Label, "For example: administrator");
  ExpectControl(form, "PasswordLabel", ControlKind::Label, "Password:");
  ExpectControl(form, "CompleteLabel", ControlKind::Label,
                "You have successfully entered all of the information to setup your "
                "account.\r\n\r\nTo save these settings, click Finish.");
  EXPECT_EQ(form.HostNameEdit->Tag(), TSetupWizardForm::kTagHostName);
  EXPECT_EQ(form.UserEdit->Tag(), TSetupWizardForm::kTagUserName);
  EXPECT_EQ(form.PasswordEdit->Tag(), TSetupWizardForm::kTagUserName);
  EXPECT_EQ(form.DomainEdit->Tag(), TSetupWizardForm::kTagDomain);
  EXPECT_EQ(form.PasswordEdit->PasswordChar(), u'*');
  EXPECT_EQ(form.HostNameEdit->Parent(), form.PagePanel(0));
  EXPECT_EQ(form.DomainEdit->Parent(), form.PagePanel(1));
  EXPECT_EQ(form.PasswordEdit->Parent(), form.PagePanel(2));
  EXPECT_EQ(form.CompleteLabel->Parent(), form.PagePanel(3));
  EXPECT_EQ(form.PagePanel(4), nullptr);
  EXPECT_TRUE(form.PagePanel(0)->Visible());
  for (int page = 1; page < TSetupWizardForm::kPageCount; ++page)
    EXPECT_FALSE(form.PagePanel(page)->Visible());
}

TEST_F(Windows, LanguageChooserOffersAListToPickFrom) {
  const TLangSelectForm& form = windows.LangSelectForm;
  EXPECT_EQ(form.Caption(), "Installer Language");
  ExpectControl(form, "SelectLabel", ControlKind::Label, "Please select a language.");
  ExpectControl(form, "LanguageCombo", ControlKind::ComboBox, "");
  ExpectControl(form, "OKButton", ControlKind::Button, "&OK");
  ExpectControl(form, "CancelButton", ControlKind::Button, "&Cancel");
  ExpectControl(form, "LanguageIcon", ControlKind::Image, "");
  EXPECT_FALSE(form.LanguageCombo->Editable());
  EXPECT_TRUE(form.OKButton->Default());
  EXPECT_EQ(form.OKButton->ModalResult(), ui::TModalResult::Ok);
  EXPECT_EQ(form.CancelButton->ModalResult(), ui::TModalResult::Cancel);
  EXPECT_FALSE(form.LanguageIcon->Picture().empty());
}
