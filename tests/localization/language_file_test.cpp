#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/windows.h"
#include "common/english_texts.h"
#include "common/temp_folder.h"
#include "localization/component_captions.h"
#include "localization/language_file.h"
#include "localization/language_loader.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "localization/setup_strings.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"
#include "support/text.h"
#include "support/xml_object.h"
#include "ui/application.h"

namespace {

const std::vector<std::string> kMessageKeys = {"cname",
                                               "coldname",
                                               "cdoyouexit",
                                               "cdoyouexittitle",
                                               "uninstalldesc",
                                               "ctolvawebmail",
                                               "ctolvawebmail2",
                                               "ctolvawebadmin",
                                               "linkdesc",
                                               "tolvasmtplinkdesc",
                                               "tolvapop3linkdesc",
                                               "tolvacontrollinkdesc",
                                               "tolvaimlinkdesc",
                                               "tolvagwlinkdesc",
                                               "serverdesktoptitle",
                                               "csetup",
                                               "cinstallq",
                                               "cinstalllicenseq",
                                               "cdownloadingfiles",
                                               "cuninstallq",
                                               "ccomplete",
                                               "ccompleteremove",
                                               "cinternet",
                                               "cnotrunning",
                                               "ctutorialcaption",
                                               "cinformation",
                                               "cerror",
                                               "cerrordir",
                                               "cerrorfile",
                                               "cerrordatafile",
                                               "cserviceerror",
                                               "cregistryerror",
                                               "cerrortext",
                                               "cquestion",
                                               "cnewerversion",
                                               "cextractingfiles",
                                               "cinstalling",
                                               "cstarting",
                                               "cfinishing",
                                               "cuninstalling",
                                               "cstopping",
                                               "cchecking",
                                               "cfinished",
                                               "cinstallfiles",
                                               "cinstallingav",
                                               "ccreatingicons",
                                               "cinstallingweb",
                                               "cyes",
                                               "cno",
                                               "cback",
                                               "cnext",
                                               "ccancel",
                                               "cinstallc",
                                               "cpsetup",
                                               "cfinish",
                                               "csla",
                                               "ccredentials",
                                               "cstartcopyingfiles",
                                               "cinstallingfiles",
                                               "cupdatesetup",
                                               "csetuptype",
                                               "ccomponentsetup",
                                               "csetupfinished",
                                               "demomsgsubject",
                                               "demomsg",
                                               "cdownloaderror",
                                               "cdownloaderrormove",
                                               "cdownloaderrorversion",
                                               "wprimarydomain",
                                               "whostname",
                                               "wadministrator",
                                               "wwizardcomplete"};

// Component keys in registration order with the captions of their positions.
const std::vector<std::pair<std::string, std::string>> kComponentKeys = {
    {"mengine", "Services and core files"},
    {"mconsole", "Administration"},
    {"mdesktopicon", "Administration interface"},
    {"mquicklaunch", "Desktop icon"},
    {"mwebmail", "Quick launch icon"},
    {"mantispam", "Modules"},
    {"mavast", "Webmail"},
    {"mgw", "Anti-Spam"},
    {"mim", "Anti-Virus"},
    {"mldap", "GroupWare"},
    {"mwizards", "Instant Messaging / VoIP"},
    {"maspell", "LDAP"},
    {"mdemoaccounts", "Demo accounts"},
    {"madministration", "Add-ons"},
    {"mmodules", "ASpell"},
    {"maddons", "Wizards"}};

class LanguageFile : public ::testing::Test {
 protected:
  LanguageFile() : windows(CreateApplicationWindows()) {
    test::ResetToEnglishTexts();
    system.Program = temp / "setup.exe";
  }
  ~LanguageFile() override {
    DestroyApplicationWindows();
    test::ResetToEnglishTexts();
  }

  // A window of the test's own, with a check list box and a list view.
  ui::TForm& AddTestForm() {
    ui::TForm& form = ui::Application().CreateForm<ui::TForm>("TTestForm", "TestForm");
    form.AddControl(ui::ControlKind::CheckListBox, "Checks", nullptr, {});
    form.AddControl(ui::ControlKind::ListView, "Accounts", nullptr, {});
    return form;
  }

  TempFolder temp;
  platform::FakeSystem system;
  TApplicationWindows windows;
};

std::string Attribute(const TXMLObject* node, const char* name) {
  return TXMLObject::GetAttribute(node, name, kXMLEntitiesUtf8);
}

}  // namespace

TEST_F(LanguageFile, ExportWithoutALanguageFileListsEveryKeyAndWindow) {
  system.Args = {"/exportlanguage"};
  ASSERT_TRUE(ExportLanguageRequested());
  EXPECT_EQ(LoadLanguage(""), TLanguageLoad::EndProgram);
  const std::string path = temp / "setup.lng";
  EXPECT_EQ(LanguageState().LanguageFilePath, path);
  EXPECT_TRUE(LanguageState().StringsRegistered);
  const std::string text = GetFile(path);

  // No byte-order mark, no declaration, a line break after every element.
  EXPECT_EQ(text.rfind("<APPLICATION><FORMS FONT=\"Tahoma\" FONTSIZE=\"8\"><FORM ID=\"TMainForm\" "
                       "CAPTION=\"Setup\"><ITEM ID=\"HelpButton\" CLASS=\"tbutton\" "
                       "CAPTION=\"&amp;Help\"/>\r\n<ITEM ID=\"BackButton\" CLASS=\"tbutton\" "
                       "CAPTION=\"&lt; &amp;Back\"/>\r\n",
                       0),
            0u);
  EXPECT_TRUE(EndsWith(text, "</STRING>\r\n</STRINGS>\r\n</APPLICATION>\r\n"));
  EXPECT_NE(text.find("<ITEM ID=\"cback\" VALUE=\"&lt; &amp;Back\"/>\r\n"), std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"cerrordir\" VALUE=\"Directory could not be created: \"/>\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"DSNLabel\" CLASS=\"ttntlabel\" CAPTION=\"DSN:\"/>\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"NivalisSetupPanel\" CLASS=\"tpanel\" "
                      "CAPTION=\"Nivalis Setup System\"/>\r\n"),
            std::string::npos);
  // Edits, memos, pictures, trees and progress bars are not written.
  for (const char* skipped : {"\"NameEdit\"", "\"LicenseMemo\"", "\"ComponentsList\"",
                              "\"ProgressBar\"", "\"LeftImage\"", "\"DirectoryListBox\""})
    EXPECT_EQ(text.find(skipped), std::string::npos) << skipped;

  TXMLObject document;
  document.Parse(text);
  const TXMLObject* application = document.FindChild("APPLICATION");
  ASSERT_NE(application, nullptr);
  const TXMLObject* forms = application->FindChild("FORMS");
  ASSERT_NE(forms, nullptr);
  const std::vector<std::pair<std::string, std::string>> expectedForms = {
      {"TMainForm", "Setup"},
      {"TBrowseFolder", "Choose Folder"},
      {"TODBCForm", "Database"},
      {"TSetupWizardForm", "Wizard"},
      {"TLangSelectForm", "Installer Language"}};
  ASSERT_EQ(forms->Children.size(), expectedForms.size());
  for (size_t i = 0; i < expectedForms.size(); ++i) {
    EXPECT_EQ(Attribute(forms->Children[i].get(), "ID"), expectedForms[i].first);
    EXPECT_EQ(Attribute(forms->Children[i].get(), "CAPTION"), expectedForms[i].second);
  }
  const TXMLObject* country = nullptr;
  for (const auto& item : forms->Children[0]->Children)
    if (Attribute(item.get(), "ID") == "CountryEdit") country = item.get();
  ASSERT_NE(country, nullptr);
  EXPECT_EQ(Attribute(country, "CLASS"), "tcombobox");
  const std::string countries = Attribute(country, "CAPTION");
  EXPECT_EQ(countries.substr(0, 13), "Afghanistan\r\n");
  EXPECT_EQ(countries.substr(countries.size() - 15), "Zimbabwe\r\nOther");

  const TXMLObject* strings = application->FindChild("STRINGS");
  ASSERT_NE(strings, nullptr);
  const TXMLObject* set = strings->FindChild("STRING");
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(Attribute(set, "ID"), "TStrings");
  ASSERT_EQ(set->Children.size(), kMessageKeys.size() + kComponentKeys.size());
  for (size_t i = 0; i < kMessageKeys.size(); ++i) {
    SCOPED_TRACE(kMessageKeys[i]);
    const TXMLObject* item = set->Children[i].get();
    EXPECT_EQ(item->Name, "ITEM");
    EXPECT_EQ(Attribute(item, "ID"), kMessageKeys[i]);
    EXPECT_EQ(Attribute(item, "VALUE"), MessageDefault(static_cast<TMessage>(i)));
  }
  for (size_t i = 0; i < kComponentKeys.size(); ++i) {
    const TXMLObject* item = set->Children[kMessageKeys.size() + i].get();
    EXPECT_EQ(Attribute(item, "ID"), kComponentKeys[i].first);
    EXPECT_EQ(Attribute(item, "VALUE"), kComponentKeys[i].second);
  }
}

TEST_F(LanguageFile, WithoutFileOrSwitchNothingIsRegistered) {
  EXPECT_FALSE(ExportLanguageRequested());
  EXPECT_EQ(LoadLanguage(""), TLanguageLoad::Continue);
  EXPECT_EQ(LanguageState().LanguageFilePath, temp / "setup.lng");
  EXPECT_FALSE(LanguageState().StringsRegistered);
  EXPECT_EQ(LocalizationStrings().Count, 0u);
  EXPECT_FALSE(platform::PathExists(temp / "setup.lng"));
  EXPECT_EQ(Message(TMessage::cBack), "< &Back");

  // The switch wants "/" or "-" in front, in any letter case.
  system.Args = {"exportlanguage"};
  EXPECT_FALSE(ExportLanguageRequested());
  system.Args = {"/SILENT", "-EXPORTLANGUAGE"};
  EXPECT_TRUE(ExportLanguageRequested());
}

TEST_F(LanguageFile, ImportAppliesAHandWrittenTranslation) {
  ui::TForm& testForm = AddTestForm();
  ui::TControl& checks = testForm.Control("Checks");
  checks.SetItems({"one", "two", "three"});
  checks.SetItemChecked(0, true).SetItemChecked(2, true).SetItemEnabled(1, false);
  checks.SetItemIndex(1);
  TMainForm& main = windows.MainForm;
  main.CountryEdit->SetItemIndex(2);
  main.NameEdit->SetText("typed by the user");

  const std::string path = temp / "lang\\de\\german.lng";
  PutFile(path,
          "<?lang caption=\"Deutsch\"?>\r\n"
          "<APPLICATION>\r\n"
          "<FORMS FONT=\"Arial\" FONTSIZE=\"9\">\r\n"
          "<FORM ID=\"TMainForm\" CAPTION=\"Installation\">\r\n"
          "<ITEM ID=\"BackButton\" CLASS=\"tbutton\" CAPTION=\"&lt; &amp;Zur\xc3\xbc"
          "ck\"/>\r\n"
          "<ITEM ID=\"TipBLabel\" CLASS=\"tlabel\" ITEMSTEXT=\"Weiter mit &quot;Weiter&quot;.\" "
          "HINT=\"Tipp\"/>\r\n"
          "<ITEM ID=\"CountryEdit\" CLASS=\"tcombobox\" CAPTION=\"Albanien\r\nAlgerien\r\n"
          "\xc3\x84gypten\r\"/>\r\n"
          "<ITEM ID=\"NivalisSetupPanel\" CLASS=\"TPanel\" CAPTION=\" Nivalis Setup-System \"/>\r\n"
          "<ITEM ID=\"NameEdit\" CLASS=\"tedit\" CAPTION=\"ignored\"/>\r\n"
          "<ITEM ID=\"LicenseAgree\" CLASS=\"tcombobox\" CAPTION=\"wrong kind\"/>\r\n"
          "<ITEM ID=\"Missing\" CLASS=\"tlabel\" CAPTION=\"nowhere\"/>\r\n"
          "<LABEL ID=\"TextLabel\" CLASS=\"tlabel\" CAPTION=\"any element name\"/>\r\n"
          "</FORM>\r\n"
          "<FORM ID=\"TODBCForm\" CAPTION=\"\xd0\x91\xd0\xb0\xd0\xb7\xd0\xb0\">\r\n"
          "<ITEM ID=\"DSNLabel\" CLASS=\"ttntlabel\" CAPTION=\"\xd0\x98\xd1\x81\xd1\x82:\"/>\r\n"
          "<ITEM ID=\"ServerLabel\" CLASS=\"tlabel\" CAPTION=\"\xd0\x98\xd1\x81\xd1\x82:\"/>\r\n"
          "</FORM>\r\n"
          "<FORM ID=\"TUnknownForm\" CAPTION=\"nobody\"/>\r\n"
          "<FORM ID=\"tbrowsefolder\" CAPTION=\"wrong case\"/>\r\n"
          "<FORM ID=\"TTestForm\" CAPTION=\"Test\">"
          "<ITEM ID=\"Checks\" CLASS=\"tchecklistbox\" CAPTION=\"eins&#13;&#10;zwei\r\ndrei\"/>"
          "</FORM>\r\n"
          "</FORMS>\r\n"
          "<STRINGS><STRING ID=\"anything\">\r\n"
          "<ITEM ID=\"cBack\" VALUE=\"&lt; &amp;Zur\xc3\xbc"
          "ck\"/>\r\n"
          "<ITEM ID=\"cnext\" VALUE=\"not this\">&amp;Weiter &gt;</ITEM>\r\n"
          "<ITEM ID=\"cName\" VALUE=\"Nivalis Tolva Mailserver\"></ITEM>\r\n"
          "<ITEM ID=\"cyes\" VALUE=\"&amp;Ja &#252;\"/>\r\n"
          "<ITEM ID=\"MConsole\" VALUE=\"Verwaltung\"/>\r\n"
          "<ITEM ID=\"unknownkey\" VALUE=\"x\"/>\r\n"
          "</STRING>\r\n<STRING><ITEM ID=\"cno\" VALUE=\"second set\"/></STRING>\r\n"
          "</STRINGS>\r\n"
          "<STRINGS><STRING><ITEM ID=\"ccancel\" VALUE=\"second STRINGS\"/></STRING></STRINGS>\r\n"
          "</APPLICATION>\r\n");
  EXPECT_EQ(LoadLanguage(path), TLanguageLoad::Continue);
  EXPECT_EQ(LanguageState().LanguageFilePath, path);

  // The messages, in the ANSI code page.
  EXPECT_EQ(Message(TMessage::cBack),
            "< &Zur\xfc"
            "ck");
  EXPECT_EQ(Message(TMessage::cNext), "&Weiter >");
  EXPECT_EQ(Message(TMessage::cName), "Nivalis Tolva Mailserver");
  EXPECT_EQ(Message(TMessage::cYes), "&Ja \xfc");
  EXPECT_EQ(Message(TMessage::cNo), "&No");
  EXPECT_EQ(Message(TMessage::cCancel), "&Cancel");
  // A translation of MConsole lands on tree position 1.
  EXPECT_EQ(main.ComponentsList->NodeAt(1)->Text(), "Verwaltung");
  EXPECT_EQ(main.ComponentsList->NodeAt(2)->Text(), "Administration interface");

  // The windows.
  EXPECT_EQ(main.Caption(), "Installation");
  EXPECT_EQ(main.BackButton->Text(),
            "< &Zur\xfc"
            "ck");
  EXPECT_EQ(main.TipBLabel->Text(), "Weiter mit \"Weiter\".");
  EXPECT_EQ(main.TipBLabel->Hint(), "Tipp");
  EXPECT_EQ(main.CountryEdit->Items(),
            (std::vector<std::string>{"Albanien", "Algerien", "\xc4gypten"}));
  EXPECT_EQ(main.CountryEdit->ItemIndex(), 2);
  EXPECT_EQ(main.CountryEdit->Text(), "\xc4gypten");
  EXPECT_EQ(main.NivalisSetupPanel->Text(), " Nivalis Setup-System ");
  EXPECT_EQ(main.NameEdit->Text(), "typed by the user");
  EXPECT_EQ(main.LicenseAgree->Text(), "I agree with the license agreement");
  EXPECT_EQ(main.TextLabel->Text(), "any element name");
  EXPECT_EQ(windows.ODBCForm.WideCaption(), u"\u0411\u0430\u0437\u0430");
  EXPECT_EQ(windows.ODBCForm.Primary.DSNLabel->WideText(), u"\u0418\u0441\u0442:");
  // A narrow class keeps only what the ANSI code page holds, even in a wide window.
  EXPECT_EQ(windows.ODBCForm.Primary.ServerLabel->WideText(), u"???:");
  EXPECT_EQ(windows.BrowseFolder.Caption(), "Choose Folder");

  EXPECT_EQ(main.Font().Name, "Arial");
  EXPECT_EQ(main.Font().Size, 9);
  EXPECT_EQ(windows.ODBCForm.Font().Name, "Arial");
  EXPECT_EQ(windows.BrowseFolder.Font().Name, "Tahoma");
  EXPECT_EQ(windows.BrowseFolder.Font().Size, 8);

  // The check list box keeps its selection, check marks and enabled flags.
  EXPECT_EQ(checks.Items(), (std::vector<std::string>{"eins", "zwei", "drei"}));
  EXPECT_EQ(checks.ItemIndex(), 1);
  EXPECT_TRUE(checks.ItemChecked(0));
  EXPECT_FALSE(checks.ItemChecked(1));
  EXPECT_TRUE(checks.ItemChecked(2));
  EXPECT_TRUE(checks.ItemEnabled(0));
  EXPECT_FALSE(checks.ItemEnabled(1));
  EXPECT_TRUE(checks.ItemEnabled(2));
  EXPECT_EQ(testForm.Caption(), "Test");
}

TEST_F(LanguageFile, ZeroOrMissingFontValuesChangeNothing) {
  const std::string path = temp / "fonts.lng";
  windows.MainForm.SetFontName("Verdana");
  windows.MainForm.SetFontSize(10);
  for (const char* forms : {"<FORMS FONT=\"\" FONTSIZE=\"0\">", "<FORMS>", "<FORMS FONTSIZE=\"x\">",
                            "<FORMS FONTSIZE=\"-4\">"}) {
    SCOPED_TRACE(forms);
    PutFile(path, std::string("<APPLICATION>") + forms +
                      "<FORM ID=\"TMainForm\" CAPTION=\"Titel\"/></FORMS></APPLICATION>");
    EXPECT_TRUE(ImportLanguageFile(path, true));
    EXPECT_EQ(windows.MainForm.Caption(), "Titel");
    EXPECT_EQ(windows.MainForm.Font().Name, "Verdana");
    EXPECT_EQ(windows.MainForm.Font().Size, 10);
  }
  PutFile(path,
          "<APPLICATION><FORMS FONTSIZE=\"12\"><FORM ID=\"TMainForm\"/></FORMS></APPLICATION>");
  EXPECT_TRUE(ImportLanguageFile(path, true));
  EXPECT_EQ(windows.MainForm.Font().Name, "Verdana");
  EXPECT_EQ(windows.MainForm.Font().Size, 12);
  // An absent CAPTION is an empty one, as the export writes it.
  EXPECT_EQ(windows.MainForm.Caption(), "");
}

TEST_F(LanguageFile, ExportImportExportIsStableByteForByte) {
  AddTestForm();
  ui::TForm& testForm = *ui::Application().FindForm("TTestForm");
  testForm.Control("Checks").SetItems({"  padded", "two", "last  "});
  ui::TControl& accounts = testForm.Control("Accounts");
  accounts.AddColumn("Name").AddColumn("Address").SetHint("Accounts & aliases");
  RegisterSetupStrings();
  // Texts beyond ASCII: narrow in the ANSI code page, wide in Unicode.
  Message(TMessage::cBack) =
      "< &Zur\xfc"
      "ck \x80";
  windows.ODBCForm.SetWideCaption(u"\u0411\u0430\u0437\u0430 \u00e9");
  windows.ODBCForm.Primary.DSNLabel->SetWideText(
      u"\u0418\u0441\u0442\u043e\u0447\u043d\u0438\u043a:");
  windows.MainForm.TextLabel->SetHint("Line 1\r\nLine 2 <b> 'quoted' \"double\"");

  const std::string first = temp / "first.lng";
  const std::string second = temp / "second.lng";
  ASSERT_TRUE(ExportLanguageFile(first, true));
  ASSERT_TRUE(ImportLanguageFile(first, true));
  ASSERT_TRUE(ExportLanguageFile(second, true));
  const std::string text = GetFile(first);
  EXPECT_EQ(GetFile(second), text);
  EXPECT_NE(text.find("CAPTION=\"\xd0\x91\xd0\xb0\xd0\xb7\xd0\xb0 \xc3\xa9\""), std::string::npos);
  EXPECT_NE(text.find("VALUE=\"&lt; &amp;Zur\xc3\xbc"
                      "ck \xe2\x82\xac\""),
            std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"Checks\" CLASS=\"tchecklistbox\" "
                      "CAPTION=\"padded\r\ntwo\r\nlast\"/>"),
            std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"Accounts\" CLASS=\"textlistviewmanagement\" "
                      "CAPTION=\"Name\r\nAddress\" HINT=\"Accounts &amp; aliases\"/>"),
            std::string::npos);
  EXPECT_EQ(Message(TMessage::cBack),
            "< &Zur\xfc"
            "ck \x80");
  EXPECT_EQ(windows.ODBCForm.Primary.DSNLabel->WideText(),
            u"\u0418\u0441\u0442\u043e\u0447\u043d\u0438\u043a:");
  EXPECT_EQ(accounts.WideColumns(), (std::vector<std::u16string>{u"Name", u"Address"}));
  // No scratch file is left beside the written one.
  EXPECT_FALSE(platform::PathExists(first + ".tmp"));
}

TEST_F(LanguageFile, MissingEmptyOrMalformedFilesChangeNothing) {
  RegisterSetupStrings();
  EXPECT_FALSE(ImportLanguageFile(temp / "missing.lng", true));
  PutFile(temp / "empty.lng", "");
  EXPECT_FALSE(ImportLanguageFile(temp / "empty.lng", true));
  EXPECT_FALSE(ImportLanguageFile(temp.Path(), true));

  // Without FORMS the import stops before the strings.
  PutFile(temp / "noforms.lng",
          "<APPLICATION><STRINGS><STRING><ITEM ID=\"cback\" VALUE=\"x\"/></STRING></STRINGS>"
          "</APPLICATION>");
  EXPECT_TRUE(ImportLanguageFile(temp / "noforms.lng", true));
  EXPECT_EQ(Message(TMessage::cBack), "< &Back");
  PutFile(temp / "noapp.lng", "<FORMS><FORM ID=\"TMainForm\" CAPTION=\"x\"/></FORMS>");
  EXPECT_TRUE(ImportLanguageFile(temp / "noapp.lng", true));
  EXPECT_EQ(windows.MainForm.Caption(), "Setup");
  PutFile(temp / "garbage.lng", "\x01\x02<<<>>>&&&\xff\xfe");
  EXPECT_TRUE(ImportLanguageFile(temp / "garbage.lng", true));

  // Without includeStrings the messages stay.
  PutFile(temp / "forms.lng",
          "<APPLICATION><FORMS><FORM ID=\"TLangSelectForm\" CAPTION=\"Sprache\"/></FORMS>"
          "<STRINGS><STRING><ITEM ID=\"cback\" VALUE=\"x\"/></STRING></STRINGS></APPLICATION>");
  EXPECT_TRUE(ImportLanguageFile(temp / "forms.lng", false));
  EXPECT_EQ(windows.LangSelectForm.Caption(), "Sprache");
  EXPECT_EQ(Message(TMessage::cBack), "< &Back");
}

TEST_F(LanguageFile, TheSwitchMergesAnExistingFileAndWritesItBack) {
  const std::string path = temp / "setup.lng";
  PutFile(path,
          "<APPLICATION><FORMS><FORM ID=\"TMainForm\" CAPTION=\"Installation\"/></FORMS>"
          "<STRINGS><STRING><ITEM ID=\"cback\" VALUE=\"&lt; &amp;Zur\xc3\xbc"
          "ck\"/>"
          "<ITEM ID=\"mconsole\" VALUE=\"Verwaltung\"/></STRING></STRINGS></APPLICATION>");
  system.Args = {"-ExportLanguage"};
  EXPECT_EQ(LoadLanguage(""), TLanguageLoad::EndProgram);
  const std::string text = GetFile(path);
  EXPECT_NE(text.find("<FORM ID=\"TMainForm\" CAPTION=\"Installation\">"), std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"cback\" VALUE=\"&lt; &amp;Zur\xc3\xbc"
                      "ck\"/>\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"cnext\" VALUE=\"&amp;Next &gt;\"/>\r\n"), std::string::npos);
  EXPECT_NE(text.find("<ITEM ID=\"mconsole\" VALUE=\"Verwaltung\"/>\r\n"), std::string::npos);
  EXPECT_EQ(windows.MainForm.ComponentsList->NodeAt(1)->Text(), "Verwaltung");
  EXPECT_EQ(LocalizationStrings().Count, 88u);

  // A later load (the language chooser's) imports without registering again.
  system.Args.clear();
  PutFile(temp / "other.lng",
          "<APPLICATION><FORMS/><STRINGS><STRING><ITEM ID=\"cback\" VALUE=\"back\"/></STRING>"
          "</STRINGS></APPLICATION>");
  EXPECT_EQ(LoadLanguage(temp / "other.lng"), TLanguageLoad::Continue);
  EXPECT_EQ(LocalizationStrings().Count, 88u);
  EXPECT_EQ(Message(TMessage::cBack), "back");
}

TEST_F(LanguageFile, AnExportThatCannotBeWrittenReportsIt) {
  PutFile(temp / "plain.txt", "a file, not a folder");
  EXPECT_FALSE(ExportLanguageFile(temp / "plain.txt\\sub\\setup.lng", true));
  EXPECT_FALSE(ExportLanguageFile("", true));
  // A folder where the file should be: the old content stays, nothing is left behind.
  platform::MakeFolder(temp / "setup.lng");
  EXPECT_FALSE(ExportLanguageFile(temp / "setup.lng", true));
  EXPECT_TRUE(platform::IsFolder(temp / "setup.lng"));
  EXPECT_FALSE(platform::PathExists(temp / "setup.lng.tmp"));
  // Missing folders are made.
  EXPECT_TRUE(ExportLanguageFile(temp / "new\\folder\\setup.lng", false));
  const std::string text = GetFile(temp / "new\\folder\\setup.lng");
  EXPECT_EQ(text.find("<STRINGS>"), std::string::npos);
  EXPECT_NE(text.find("</FORMS>\r\n</APPLICATION>\r\n"), std::string::npos);
}

TEST(LanguageControls, ControlsTravelAsTheirClassSays) {
  ui::TForm form("TForm1", "Form1");
  ui::TControl& panel = form.AddControl(ui::ControlKind::Panel, "Panel", nullptr, {});
  ui::TControl& empty = form.AddControl(ui::ControlKind::Label, "Empty", nullptr, {});
  ui::TControl& hinted = form.AddControl(ui::ControlKind::Button, "Hinted", nullptr, {});
  ui::TControl& list = form.AddControl(ui::ControlKind::ListBox, "List", nullptr, {});
  ui::TControl& view = form.AddControl(ui::ControlKind::ListView, "View", nullptr, {});
  ui::TControl& menu = form.AddControl(ui::ControlKind::MenuItem, "Menu", nullptr, {});
  panel.SetText("  padded panel \r\n");
  hinted.SetHint("only a hint");
  list.SetItems({"", "b", ""});
  view.AddColumn("A").AddColumn("B").AddColumn("C").SetItemIndex(-1);
  menu.SetText("&File");

  TXMLObject node;
  for (const auto& control : form.Controls())
    ExportControl(node, *control);
  EXPECT_EQ(node.ToText(false, false),
            "<ITEM ID=\"Panel\" CLASS=\"tpanel\" CAPTION=\"padded panel\"/>"
            "<ITEM ID=\"Hinted\" CLASS=\"tbutton\" HINT=\"only a hint\"/>"
            "<ITEM ID=\"List\" CLASS=\"tlistbox\" CAPTION=\"b\"/>"
            "<ITEM ID=\"View\" CLASS=\"textlistviewmanagement\" CAPTION=\"A\r\nB\r\nC\"/>"
            "<ITEM ID=\"Menu\" CLASS=\"tmenuitem\" CAPTION=\"&amp;File\"/>");
  EXPECT_EQ(empty.Text(), "");

  TXMLObject items;
  items.Parse(
      "<ITEM CLASS=\"tcustomlistview\" CAPTION=\" x \r\n\r\n y\n z \n extra\"/>"
      "<ITEM CLASS=\"ttntmenuitem\" CAPTION=\"&amp;Datei\" HINT=\"Men\xc3\xbc\"/>"
      "<ITEM CLASS=\"tlistbox\" CAPTION=\"\"/>"
      "<ITEM CLASS=\"tlabel\" CAPTION=\"label on a list\"/>");
  ASSERT_EQ(items.Children.size(), 4u);
  ImportControl(view, *items.Children[0]);
  EXPECT_EQ(view.WideColumns(), (std::vector<std::u16string>{u"x", u"y", u"z"}));
  ImportControl(menu, *items.Children[1]);
  EXPECT_EQ(menu.Text(), "&Datei");
  EXPECT_EQ(menu.Hint(), "Men\xfc");
  list.SetItemIndex(1);
  ImportControl(list, *items.Children[2]);
  EXPECT_EQ(list.ItemCount(), 0u);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetItems({"kept"});
  ImportControl(list, *items.Children[3]);
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"kept"}));
}
