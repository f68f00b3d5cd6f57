// The demo distribution's German translation: complete, really translated,
// faithful to the English placeholders and line breaks, and intact on its
// way into the narrow (Windows-1252) texts. The distribution's settings files
// are read here as the installer reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/country_list.h"
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
#include "support/config_text.h"
#include "support/text.h"
#include "support/xml_object.h"

namespace {

std::string DemoPath(const std::string& relative) {
  return std::string(SETUP_DEMO_DIR) + relative;
}

const std::string kGermanFile = "lang\\de\\setup.lng";
const std::string kAustrianFile = "lang\\de-at\\setup.lng";

// Texts that are the same in German, each with the reason.
struct TSameText {
  const char* Text;
  const char* Why;
};
const std::vector<TSameText> kSameInGerman = {
    {"Nivalis Tolva Mail Server", "product name"},
    {"Tolva Mail Server", "former product name"},
    {"VizUdid Azadi", "product name of the web mail"},
    {"VevErod Oro", "product name of the new web mail"},
    {"WebAdmin", "product name of the web administration"},
    {"Webmail", "component name; the German word is the same"},
    {"GroupWare", "component name"},
    {"LDAP", "protocol name"},
    {"ASpell", "name of the spell checker"},
    {"Administrator", "the German word is the same"},
    {"Name:", "the German word is the same"},
    {"Hostname:", "the usual German term"},
    {"DSN:", "abbreviation (data source name)"},
    {"Server:", "the German word is the same"},
    {"Syntax:", "the German word is the same"},
    {"ODBC\r\nMy SQL\r\nSQLite\r\nFirebird", "driver names"},
    {"&OK", "the German button says OK too"},
    {"Tolva\\", "the installation folder's name"},
};

bool SameInGerman(const std::string& english) {
  return std::any_of(kSameInGerman.begin(), kSameInGerman.end(),
                     [&](const TSameText& same) { return english == same.Text; });
}

// One translatable text of a language file, in UTF-8.
struct TText {
  std::string Class;
  std::string Value;
};
using TTexts = std::map<std::string, TText>;

std::string Attribute(const TXMLObject* node, const char* name) {
  return TXMLObject::GetAttribute(node, name, kXMLEntities);
}

// Every text of a language document by its place: "Form" for a window's
// title, "Form.Control" and "Form.Control hint" for a control, "strings.key"
// for a registered text.
TTexts Texts(const TXMLObject& document) {
  TTexts texts;
  const TXMLObject* application = document.FindChild("APPLICATION");
  EXPECT_NE(application, nullptr);
  if (!application) return texts;
  auto add = [&](const std::string& where, const std::string& kind, const std::string& value) {
    EXPECT_TRUE(texts.emplace(where, TText{kind, value}).second) << "twice: " << where;
  };
  if (const TXMLObject* forms = application->FindChild("FORMS")) {
    for (const auto& form : forms->Children) {
      const std::string formId = Attribute(form.get(), "ID");
      add(formId, "", Attribute(form.get(), "CAPTION"));
      for (const auto& item : form->Children) {
        const std::string where = formId + "." + Attribute(item.get(), "ID");
        const std::string kind = Attribute(item.get(), "CLASS");
        add(where, kind, Attribute(item.get(), "CAPTION"));
        const std::string hint = Attribute(item.get(), "HINT");
        if (!hint.empty()) add(where + " hint", kind, hint);
      }
    }
  }
  const TXMLObject* strings = application->FindChild("STRINGS");
  const TXMLObject* set = strings ? strings->FindChild("STRING") : nullptr;
  if (set)
    for (const auto& item : set->Children)
      add("strings." + Attribute(item.get(), "ID"), "", Attribute(item.get(), "VALUE"));
  return texts;
}

TTexts ParsedTexts(const std::string& text) {
  TXMLObject document;
  document.Parse(text);
  return Texts(document);
}

size_t Occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
    ++count;
  return count;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

size_t CountryIndex(const std::string& englishName) {
  const std::vector<std::string> countries = CountryListItems();
  return static_cast<size_t>(std::find(countries.begin(), countries.end(), englishName) -
                             countries.begin());
}

// The first top-level element of an info.xml, as the installer reads it.
const TXMLObject* InfoElement(TXMLObject& document, const std::string& path) {
  EXPECT_TRUE(document.LoadFromFile(path)) << path;
  EXPECT_FALSE(document.Children.empty()) << path;
  return document.Children.empty() ? nullptr : document.Children.front().get();
}

class DemoTranslation : public ::testing::Test {
 protected:
  DemoTranslation() { Restart(); }
  ~DemoTranslation() override {
    DestroyApplicationWindows();
    test::ResetToEnglishTexts();
  }
  // As a fresh start of the installer: new windows, English texts.
  void Restart() {
    DestroyApplicationWindows();
    test::ResetToEnglishTexts();
    windows.reset();
    windows.emplace(CreateApplicationWindows());
    system.Program = temp / "setup.exe";
  }
  // What "exportlanguage" writes for the English installer.
  std::string EnglishExport() {
    Restart();
    RegisterSetupStrings();
    return LanguageFileText(true);
  }
  TMainForm& Main() { return windows->MainForm; }

  TempFolder temp;
  platform::FakeSystem system;
  std::optional<TApplicationWindows> windows;
};

}  // namespace

TEST_F(DemoTranslation, EveryEnglishTextHasAGermanOne) {
  const TTexts english = ParsedTexts(EnglishExport());
  const TTexts german = ParsedTexts(GetFile(DemoPath(kGermanFile)));
  ASSERT_FALSE(english.empty());
  // All five windows, every message key and every component caption.
  for (const char* where : {"TMainForm", "TBrowseFolder", "TODBCForm", "TSetupWizardForm",
                            "TLangSelectForm", "strings.cname", "strings.maddons"})
    EXPECT_EQ(english.count(where), 1u) << where;
  EXPECT_EQ(std::count_if(english.begin(), english.end(),
                          [](const auto& text) { return text.first.rfind("strings.", 0) == 0; }),
            static_cast<std::ptrdiff_t>(kMessageKeyCount + kComponentCaptionCount));

  std::vector<std::string> sameUsed;
  for (const auto& [where, text] : english) {
    SCOPED_TRACE(where);
    auto found = german.find(where);
    if (found == german.end()) {
      ADD_FAILURE() << "not translated";
      continue;
    }
    const std::string& translated = found->second.Value;
    EXPECT_EQ(found->second.Class, text.Class);
    EXPECT_FALSE(translated.empty());
    if (SameInGerman(text.Value))
      sameUsed.push_back(text.Value);
    else
      EXPECT_NE(translated, text.Value) << "still English";
    // The callers format and split these texts: the placeholders and the line
    // breaks (items of a list, lines of a message) must match.
    EXPECT_EQ(Occurrences(translated, "%s"), Occurrences(text.Value, "%s"));
    EXPECT_EQ(Occurrences(translated, "%"), Occurrences(text.Value, "%"));
    EXPECT_EQ(Occurrences(translated, "\r\n"), Occurrences(text.Value, "\r\n"));
    EXPECT_EQ(Occurrences(translated, "\n"), Occurrences(text.Value, "\n"));
    EXPECT_EQ(Occurrences(translated, "\r"), Occurrences(text.Value, "\r"));
  }
  // Nothing that the installer would skip as unknown.
  for (const auto& [where, text] : german)
    EXPECT_EQ(english.count(where), 1u) << "not an installer text: " << where;
  // Every exception is still needed.
  for (const TSameText& same : kSameInGerman)
    EXPECT_NE(std::find(sameUsed.begin(), sameUsed.end(), same.Text), sameUsed.end())
        << same.Text << " (" << same.Why << ") is no installer text any more";
}

TEST_F(DemoTranslation, TheMarkerLineNamesTheLanguageOnce) {
  const std::string german = GetFile(DemoPath(kGermanFile));
  const std::vector<std::string> lines = Lines(german);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "<?lang caption=\"Deutsch\"?>");
  // A second marker would offer the language twice.
  EXPECT_EQ(Occurrences(german, "<?lang "), 1u);
  EXPECT_NE(german.substr(0, 3), "\xef\xbb\xbf");

  // The Austrian folder carries the same translation under its own name.
  const std::string austrian = GetFile(DemoPath(kAustrianFile));
  const std::vector<std::string> austrianLines = Lines(austrian);
  EXPECT_EQ(austrianLines[0], "<?lang caption=\"Deutsch (\xc3\x96sterreich)\"?>");
  EXPECT_EQ(Occurrences(austrian, "<?lang "), 1u);
  EXPECT_EQ(austrian.substr(austrianLines[0].size()), german.substr(lines[0].size()));
}

TEST_F(DemoTranslation, ImportedTextsArriveIntactAndExportBackUnchanged) {
  const std::string germanFile = GetFile(DemoPath(kGermanFile));
  Restart();
  EXPECT_EQ(LoadLanguage(DemoPath(kGermanFile)), TLanguageLoad::Continue);

  // Narrow texts in the ANSI code page: umlauts and sharp s, no "?".
  EXPECT_EQ(Message(TMessage::cBack),
            "< &Zur\xfc"
            "ck");
  EXPECT_EQ(Message(TMessage::cDoYouExit),
            "M\xf6"
            "chten Sie die Installation abbrechen?");
  EXPECT_EQ(Message(TMessage::WPrimaryDomain), "Prim\xe4re Dom\xe4ne");
  EXPECT_EQ(Message(TMessage::cInstallQ),
            "%s wird jetzt installiert. M\xf6"
            "chten Sie fortfahren?");
  EXPECT_NE(Main().TextLabel->Text().find("zu schlie\xdf"
                                          "en, bevor"),
            std::string::npos);
  EXPECT_EQ(Main().TipBLabel->Text(),
            "Klicken Sie auf \x84Weiter\x93, um mit der Installation fortzufahren.");
  EXPECT_EQ(Main().ComponentsList->NodeAt(1)->Text(), "Verwaltung");
  EXPECT_EQ(Main().ComponentsList->NodeAt(2)->Text(),
            "Verwaltungsoberfl\xe4"
            "che");
  EXPECT_EQ(windows->ODBCForm.Primary.PasswordLabel->WideText(), u"Kennwort:");
  EXPECT_EQ(windows->ODBCForm.DropTablesBut->WideText(), u"Tabellen l\u00f6schen");

  // The country box keeps its length and order, in German.
  const std::vector<std::string> countries = Main().CountryEdit->Items();
  ASSERT_EQ(countries.size(), CountryListItems().size());
  EXPECT_EQ(countries[CountryIndex("Germany")], "Deutschland");
  EXPECT_EQ(countries[CountryIndex("Austria")], "\xd6sterreich");
  // Samples through the whole list, where the German name sorts elsewhere.
  const std::vector<std::pair<std::string, std::string>> samples = {
      {"Aland Islands", "\xc5landinseln"},
      {"Albania", "Albanien"},
      {"Algeria", "Algerien"},
      {"Cambodia", "Kambodscha"},
      {"Cote d'Ivoire", "Elfenbeink\xfcste"},
      {"Egypt", "\xc4gypten"},
      {"Hungary", "Ungarn"},
      {"Iceland", "Island"},
      {"Qatar", "Katar"},
      {"Sao Tome and Principe", "S\xe3o Tom\xe9 und Pr\xedncipe"},
      {"Timor-Leste", "Osttimor"},
      {"United States", "Vereinigte Staaten"},
      {"Virgin Islands, U.S.", "Amerikanische Jungferninseln"},
      {"Zimbabwe", "Simbabwe"}};
  for (const auto& [english, german] : samples) {
    ASSERT_LT(CountryIndex(english), countries.size()) << english;
    EXPECT_EQ(countries[CountryIndex(english)], german);
  }
  EXPECT_EQ(countries.back(), "Andere");
  for (const std::string& country : countries)
    EXPECT_EQ(country.find('?'), std::string::npos) << country;

  // Written back, the installer's texts are the file's texts, byte for byte.
  const std::string exported = LanguageFileText(true);
  const std::string marker = Lines(germanFile)[0] + "\r\n";
  EXPECT_EQ(marker + exported, germanFile);

  // And an export imported again into a fresh installer gives the same file.
  const std::string path = temp / "export\\setup.lng";
  ASSERT_TRUE(ExportLanguageFile(path, true));
  Restart();
  EXPECT_EQ(LoadLanguage(path), TLanguageLoad::Continue);
  EXPECT_EQ(LanguageFileText(true), exported);
  EXPECT_EQ(Message(TMessage::cBack),
            "< &Zur\xfc"
            "ck");
}

TEST_F(DemoTranslation, TheLanguageFoldersNameTheirCountriesAsTheGermanBoxShowsThem) {
  ASSERT_EQ(LoadLanguage(DemoPath(kGermanFile)), TLanguageLoad::Continue);
  const std::vector<std::string> countries = Main().CountryEdit->Items();
  const std::vector<std::pair<std::string, std::string>> folders = {
      {"lang\\de\\info.xml", "Germany"}, {"lang\\de-at\\info.xml", "Austria"}};
  for (const auto& [file, english] : folders) {
    SCOPED_TRACE(file);
    TXMLObject document;
    const TXMLObject* info = InfoElement(document, DemoPath(file));
    ASSERT_NE(info, nullptr);
    const std::string country = info->GetChildText("COUNTRY", kXMLEntities);
    // Whether or not the reader converts from UTF-8, the name is the same.
    EXPECT_EQ(info->GetChildText("COUNTRY", kXMLEntitiesUtf8), country);
    EXPECT_EQ(country, countries[CountryIndex(english)]);
    EXPECT_FALSE(info->GetChildText("FOOTERVALUE", kXMLEntitiesUtf8).empty());
    EXPECT_EQ(info->GetChildText("LANGUAGE", kXMLEntitiesUtf8), "");
  }
}

TEST_F(DemoTranslation, TheDistributionSettingsReadAsIntended) {
  TXMLObject document;
  const TXMLObject* info = InfoElement(document, DemoPath("info.xml"));
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->GetChildText("LANGUAGE", kXMLEntitiesUtf8), "English");
  EXPECT_EQ(info->GetChildText("FOOTERVALUE", kXMLEntitiesUtf8),
            "Sent with the Nivalis Tolva Mail Server demo version.");
  // Zero keeps the advanced interface layout.
  EXPECT_EQ(info->GetChildText("INTERFACEMODE", kXMLEntitiesUtf8), "0");
  EXPECT_EQ(StrToIntLoose(info->GetChildText("INTERFACEMODE", kXMLEntitiesUtf8)), 0);
  EXPECT_EQ(info->GetChildText("MODULEDOWNLOAD", kXMLEntitiesUtf8),
            "http://127.0.0.1:8080/modules/");
  EXPECT_EQ(info->GetChildText("COUNTRY", kXMLEntitiesUtf8), "");
}

TEST_F(DemoTranslation, TheTextFilesAreWindowsTextInUtf8) {
  for (const char* file :
       {"license.txt", "readme.txt", "releasenotes.txt", "info.xml", "lang\\de\\license.txt",
        "lang\\de\\readme.txt", "lang\\de\\info.xml", "lang\\de\\setup.lng",
        "lang\\de-at\\license.txt", "lang\\de-at\\readme.txt", "lang\\de-at\\info.xml",
        "lang\\de-at\\setup.lng"}) {
    SCOPED_TRACE(file);
    const std::string text = GetFile(DemoPath(file));
    ASSERT_GT(text.size(), 100u);
    EXPECT_NE(text.substr(0, 3), "\xef\xbb\xbf");
    EXPECT_EQ(Occurrences(text, "\n"), Occurrences(text, "\r\n"));
    EXPECT_EQ(Occurrences(text, "\r"), Occurrences(text, "\r\n"));
    EXPECT_TRUE(EndsWith(text, "\r\n"));
    // Valid UTF-8 of at most three bytes a character, as the licence box decodes it.
    for (size_t i = 0; i < text.size();) {
      const unsigned char lead = static_cast<unsigned char>(text[i]);
      const size_t length = lead < 0x80             ? 1
                            : (lead & 0xe0) == 0xc0 ? 2
                            : (lead & 0xf0) == 0xe0 ? 3
                                                    : 0;
      ASSERT_NE(length, 0u) << "at byte " << i;
      ASSERT_LE(i + length, text.size());
      for (size_t k = 1; k < length; ++k)
        ASSERT_EQ(static_cast<unsigned char>(text[i + k]) & 0xc0, 0x80) << "at byte " << i;
      i += length;
    }
  }
  // The German texts are the ones in the German folders.
  EXPECT_NE(GetFile(DemoPath("lang\\de\\license.txt")).find("LIZENZVERTRAG"), std::string::npos);
  EXPECT_EQ(GetFile(DemoPath("lang\\de-at\\license.txt")),
            GetFile(DemoPath("lang\\de\\license.txt")));
  EXPECT_EQ(GetFile(DemoPath("lang\\de-at\\readme.txt")),
            GetFile(DemoPath("lang\\de\\readme.txt")));
}
