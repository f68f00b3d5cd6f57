#include <gtest/gtest.h>

#include <algorithm>

#include "app/language_chooser.h"
#include "archive/archive_writer.h"
#include "localization/language_folder.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"

using ui::TModalResult;

namespace {

// A language file as a translator's tools leave it: the marker, then the
// texts of one message and one control.
std::string GermanLanguageFile() {
  return "<?lang caption=\"Deutsch\"?>\r\n"
         "<APPLICATION><FORMS/><STRINGS><STRING ID=\"TStrings\">\r\n"
         "<ITEM ID=\"cname\" VALUE=\"Nivalis Tolva Mail-Server\"/>\r\n"
         "<ITEM ID=\"cinstallq\" VALUE=\"Hiermit wird %s installiert. M\xC3\xB6"
         "chten Sie fortfahren?\"/>\r\n"
         "</STRING></STRINGS></APPLICATION>\r\n";
}

std::string InfoWithCountry(const std::string& country) {
  return "<INFO><COUNTRY>" + country + "</COUNTRY></INFO>";
}

class LanguageChooserTest : public StartupTest {
 protected:
  std::string Lang() const { return Distribution() + "lang\\"; }

  void MakeGerman() {
    PutFile(Lang() + "de\\setup.lng", GermanLanguageFile());
    PutFile(Lang() + "de\\info.xml", InfoWithCountry("Germany"));
    PutFile(Lang() + "de\\license.txt", "Lizenz");
    PutFile(Lang() + "de\\readme.txt", "Liesmich");
  }

  std::vector<std::string> Captions() const {
    return windows.LangSelectForm.LanguageCombo->Items();
  }
  std::string Selected() const {
    const ui::TControl& combo = *windows.LangSelectForm.LanguageCombo;
    return combo.ItemIndex() < 0 ? "" : combo.Item(combo.ItemIndex());
  }

  void Choose(const std::string& caption, TModalResult result = TModalResult::Ok) {
    backend.WhenModal("TLangSelectForm", [this, caption, result](ui::TForm& dialog) {
      const std::vector<std::string> items = Captions();
      const auto at = std::find(items.begin(), items.end(), caption);
      ASSERT_NE(at, items.end());
      backend.PickItem(*windows.LangSelectForm.LanguageCombo, static_cast<int>(at - items.begin()));
      backend.Click(result == TModalResult::Ok ? *windows.LangSelectForm.OKButton
                                               : *windows.LangSelectForm.CancelButton);
      (void)dialog;
    });
  }
};

TEST_F(LanguageChooserTest, OffersDeutschBeforeEnglishWithEnglishPreselected) {
  MakeGerman();
  std::vector<std::string> seen;
  std::string preselected;
  backend.WhenModal("TLangSelectForm", [&](ui::TForm&) {
    seen = Captions();
    preselected = Selected();
    backend.Click(*windows.LangSelectForm.OKButton);
  });
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_EQ(seen, (std::vector<std::string>{"Deutsch", "English"}));
  EXPECT_EQ(preselected, "English");
  // English loads no language file and keeps the distribution's texts.
  EXPECT_EQ(Message(TMessage::cName), "Nivalis Tolva Mail Server");
  EXPECT_EQ(form.State.LicenseTextPath, Distribution() + "license.txt");
  EXPECT_EQ(form.State.ReadmePath, Distribution() + "readme.txt");
}

TEST_F(LanguageChooserTest, ChoosingDeutschLoadsItsFileAndItsTexts) {
  MakeGerman();
  PutFile(Distribution() + "info.xml", "<INFO><LANGUAGE>Deutsch</LANGUAGE></INFO>");
  std::string preselected;
  backend.WhenModal("TLangSelectForm", [&](ui::TForm&) {
    preselected = Selected();
    backend.Click(*windows.LangSelectForm.OKButton);
  });
  backend.AnswerBoxes({TModalResult::Yes});
  EXPECT_EQ(Start(), std::nullopt);
  EXPECT_EQ(preselected, "Deutsch");
  EXPECT_EQ(Message(TMessage::cName), "Nivalis Tolva Mail-Server");
  EXPECT_EQ(LanguageState().LanguageFilePath, Lang() + "de\\setup.lng");
  EXPECT_EQ(form.State.LicenseTextPath, Lang() + "de\\license.txt");
  EXPECT_EQ(form.State.ReadmePath, Lang() + "de\\readme.txt");
  EXPECT_EQ(form.LicenseMemo->Text(), "Lizenz");
  // The confirmation is asked in the chosen language.
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text,
            "Hiermit wird Nivalis Tolva Mail-Server 9.1.5-7 installiert. M\xF6"
            "chten Sie fortfahren?");
  EXPECT_EQ(form.State.WindowTitle, "Nivalis Tolva Mail-Server 9.1.5-7 Setup");
}

TEST_F(LanguageChooserTest, CancelEndsTheInstallerQuietly) {
  MakeGerman();
  Choose("Deutsch", TModalResult::Cancel);
  EXPECT_EQ(Start(), kExitSuccess);
  EXPECT_TRUE(backend.Boxes().empty());
  EXPECT_EQ(Message(TMessage::cName), "Nivalis Tolva Mail Server");

  // The close box counts as cancel too.
  backend.WhenModal("TLangSelectForm", [&](ui::TForm& dialog) { backend.CloseWindow(dialog); });
  EXPECT_EQ(Start(), kExitSuccess);
}

TEST_F(LanguageChooserTest, EnglishAloneShowsNoDialog) {
  PutFile(Lang() + "notes.txt", "no marker here\r\nnor here\r\n<?lang caption=\"Late\"?>\r\n");
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_TRUE(backend.ModalsShown().empty());
  EXPECT_EQ(Captions(), std::vector<std::string>{"English"});
  EXPECT_EQ(Selected(), "English");
}

TEST_F(LanguageChooserTest, LanguagesComeFromSetuplangDatWhenItIsThere) {
  // A plain folder beside the archive is not looked at.
  PutFile(Lang() + "fr\\setup.lng", "<?lang caption=\"Fran&#231;ais\"?>\r\n<LANGUAGE/>\r\n");
  TArchiveWriter writer(3);
  ASSERT_TRUE(writer.Create(Distribution() + "setuplang.dat"));
  writer.AddContent("de\\setup.lng", GermanLanguageFile());
  writer.AddContent("de\\readme.txt", "Liesmich");
  writer.Close();
  Choose("Deutsch");
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Deutsch", "English"}));
  const std::string unpacked = system.Temp + "tolvainstall\\lang\\de\\";
  EXPECT_EQ(LanguageState().LanguageFilePath, unpacked + "setup.lng");
  EXPECT_EQ(form.State.ReadmePath, unpacked + "readme.txt");
  // No licence in the language's folder: the distribution's stays.
  EXPECT_EQ(form.State.LicenseTextPath, Distribution() + "license.txt");
}

TEST_F(LanguageChooserTest, TheEnglishFoldersInfoCanPreselectALanguage) {
  MakeGerman();
  PutFile(Lang() + "en\\info.xml", "<INFO><LANGUAGE>Deutsch</LANGUAGE></INFO>");
  std::string preselected;
  backend.WhenModal("TLangSelectForm", [&](ui::TForm&) {
    preselected = Selected();
    backend.Click(*windows.LangSelectForm.CancelButton);
  });
  EXPECT_EQ(Start({"/SILENT"}), kExitSuccess);
  EXPECT_EQ(preselected, "Deutsch");
  EXPECT_EQ(form.State.InfoXmlPath, Lang() + "en\\info.xml");
}

TEST_F(LanguageChooserTest, ANameNoEntryMatchesSelectsNothing) {
  MakeGerman();
  PutFile(Distribution() + "info.xml", "<INFO><LANGUAGE>Klingon</LANGUAGE></INFO>");
  std::string preselected = "unset";
  backend.WhenModal("TLangSelectForm", [&](ui::TForm&) {
    preselected = Selected();
    backend.Click(*windows.LangSelectForm.OKButton);
  });
  EXPECT_EQ(Start({"/SILENT"}), std::nullopt);
  EXPECT_EQ(preselected, "");
  // OK with nothing chosen keeps English.
  EXPECT_EQ(Message(TMessage::cName), "Nivalis Tolva Mail Server");
}

TEST_F(LanguageChooserTest, CountriesMatchTheFirstFolderThatNamesThem) {
  PutFile(Lang() + "a\\setup.lng", "<?lang caption=\"Deutsch\"?>\r\n");
  PutFile(Lang() + "a\\info.xml",
          "<INFO><COUNTRY>Austria</COUNTRY><FOOTERVALUE>first</FOOTERVALUE></INFO>");
  PutFile(Lang() + "b\\setup.lng", "<?lang caption=\"Bairisch\"?>\r\n");
  PutFile(Lang() + "b\\info.xml",
          "<INFO><COUNTRY>Austria</COUNTRY><FOOTERVALUE>second</FOOTERVALUE></INFO>");
  TLangSelectForm& dialog = windows.LangSelectForm;
  ScanLanguageFolder(Lang(), dialog.LanguageList, dialog.CountryList);
  ASSERT_EQ(dialog.CountryList.size(), 2u);
  const std::string first = EntryPath(dialog.CountryList[0]);

  TInstallerState state;
  ApplyCountry(dialog, state, "austria");  // letter case counts
  EXPECT_TRUE(state.FooterText.empty());
  ApplyCountry(dialog, state, "Austria");
  EXPECT_EQ(state.InfoXmlPath, first);
  EXPECT_EQ(state.FooterText, first == Lang() + "a\\info.xml" ? "first" : "second");
}

TEST(LanguageFolder, MarkerRules) {
  std::string caption;
  EXPECT_TRUE(ReadLanguageMarker("<?lang caption=\"Deutsch\"?>", caption));
  EXPECT_EQ(caption, "Deutsch");
  EXPECT_TRUE(ReadLanguageMarker("<?lang version=\"2\" caption = 'Fran&#231;ais' ?>", caption));
  EXPECT_EQ(caption,
            "Fran\xE7"
            "ais");
  EXPECT_TRUE(
      ReadLanguageMarker("<?lang caption=\"\xC4\x8C"
                         "e\xC5\xA1tina\"?>",
                         caption));
  // C with caron is beyond Windows-1252: '?' here, a best-fit 'C' on Windows.
  EXPECT_EQ(caption.substr(1), "e\x9Atina");
  // The caption must stand before the first '>'.
  EXPECT_TRUE(ReadLanguageMarker("<?lang ?> caption=\"Late\"", caption));
  EXPECT_EQ(caption, "");
  EXPECT_TRUE(ReadLanguageMarker("<?lang caption=\"Open", caption));
  EXPECT_EQ(caption, "Open");
  EXPECT_FALSE(ReadLanguageMarker("<?language caption=\"X\"?>", caption));
  EXPECT_FALSE(ReadLanguageMarker("", caption));
}

TEST(LanguageFolder, ScanWalksSubfoldersAndCountsBothMarkerLines) {
  TempFolder folder;
  const std::string lang = folder / "lang\\";
  PutFile(lang + "twice.lng", "<?lang caption=\"One\"?>\n<?lang caption=\"Two\"?>\n");
  PutFile(lang + "third.lng", "x\r\ny\r\n<?lang caption=\"Three\"?>\r\n");
  PutFile(lang + "deep\\er\\nl.lng", "\r\n<?lang caption=\"Nederlands\"?>");
  PutFile(lang + ".hidden\\x.lng", "<?lang caption=\"Hidden\"?>");
  PutFile(lang + ".dot.lng", "<?lang caption=\"Dot\"?>");
  PutFile(lang + "deep\\er\\info.xml", "<I><COUNTRY>Netherlands</COUNTRY></I>");
  PutFile(lang + "deep\\info.xml", "<I><COUNTRY>Nowhere</COUNTRY></I>");
  std::vector<std::string> languages = {"stale"}, countries = {"stale"};
  ScanLanguageFolder(lang, languages, countries);
  std::vector<std::string> captions;
  for (const std::string& entry : languages)
    captions.push_back(EntryCaption(entry));
  std::sort(captions.begin(), captions.end());
  EXPECT_EQ(captions, (std::vector<std::string>{"Nederlands", "One", "Two"}));
  ASSERT_EQ(countries.size(), 1u);
  EXPECT_EQ(countries[0], "Netherlands;" + lang + "deep\\er\\info.xml");

  // A ";" inside a caption or a country must not shift the file's name.
  PutFile(lang + "semi\\x.lng", "<?lang caption=\"A;B\"?>");
  PutFile(lang + "semi\\info.xml", "<I><COUNTRY>C;D</COUNTRY></I>");
  ScanLanguageFolder(lang, languages, countries);
  const auto semi = std::find_if(languages.begin(), languages.end(),
                                 [](const std::string& e) { return EntryCaption(e) == "A,B"; });
  ASSERT_NE(semi, languages.end());
  EXPECT_EQ(EntryPath(*semi), lang + "semi\\x.lng");
  EXPECT_EQ(countries.size(), 1u);

  ScanLanguageFolder(folder / "missing\\", languages, countries);
  EXPECT_TRUE(languages.empty());
  EXPECT_TRUE(countries.empty());
}

}  // namespace
