#include <gtest/gtest.h>

#include "app/installer_info.h"
#include "app/web_login.h"
#include "common/temp_folder.h"
#include "config/settings_record.h"
#include "support/format_text.h"

namespace {

TEST(InstallerInfo, AppliesTheSettingsOfTheFirstElement) {
  TempFolder folder;
  const std::string path = folder / "info.xml";
  PutFile(path,
          "<?xml version=\"1.0\"?>\r\n<INFO>\r\n"
          "  <LANGUAGE> Deutsch </LANGUAGE>\r\n"
          "  <FOOTERVALUE>Sent by &lt;Tolva&gt; &amp; friends \xC3\xA4</FOOTERVALUE>\r\n"
          "  <INTERFACEMODE>0</INTERFACEMODE>\r\n"
          "  <MODULEDOWNLOAD>http://127.0.0.1:8080/modules.xml</MODULEDOWNLOAD>\r\n"
          "  <COUNTRY>Austria</COUNTRY><UNKNOWN>ignored</UNKNOWN>\r\n"
          "</INFO>\r\n<SECOND><LANGUAGE>never</LANGUAGE></SECOND>");
  TInstallerState state;
  state.AdvancedInterface = false;
  ReadInstallerInfo(state, path);
  EXPECT_EQ(state.InfoXmlPath, path);
  EXPECT_EQ(state.DefaultLanguage, "Deutsch");
  EXPECT_EQ(state.FooterText, "Sent by <Tolva> & friends \xE4");
  EXPECT_TRUE(state.AdvancedInterface);
  EXPECT_EQ(state.ModuleDownloadUrl, "http://127.0.0.1:8080/modules.xml");

  PutFile(path, "<INFO><INTERFACEMODE>1x</INTERFACEMODE></INFO>");
  ReadInstallerInfo(state, path);
  EXPECT_FALSE(state.AdvancedInterface);
  // Settings the file does not have stay as they were.
  EXPECT_EQ(state.DefaultLanguage, "Deutsch");
  PutFile(path, "<INFO><INTERFACEMODE>basic</INTERFACEMODE></INFO>");
  ReadInstallerInfo(state, path);
  EXPECT_TRUE(state.AdvancedInterface);  // no digits read as 0
}

TEST(InstallerInfo, MissingEmptyOrBrokenFilesChangeOnlyThePath) {
  TempFolder folder;
  TInstallerState state;
  state.DefaultLanguage = "English";
  for (const std::string& content : {std::string(), std::string("not xml at all"),
                                     std::string("<INFO>"), std::string("\0\xFF", 2)}) {
    PutFile(folder / "info.xml", content);
    ReadInstallerInfo(state, folder / "info.xml");
  }
  ReadInstallerInfo(state, folder / "missing.xml");
  EXPECT_EQ(state.InfoXmlPath, folder / "missing.xml");
  ReadInstallerInfo(state, folder.Path());  // a folder is no file
  EXPECT_EQ(state.DefaultLanguage, "English");
  EXPECT_TRUE(state.AdvancedInterface);
  // A setting that is there but empty is a setting.
  PutFile(folder / "info.xml", "<INFO><LANGUAGE></LANGUAGE></INFO>");
  ReadInstallerInfo(state, folder / "info.xml");
  EXPECT_EQ(state.DefaultLanguage, "");
}

TEST(WebLogin, AddressFromTheSettings) {
  const SettingsRecord saved = Settings();
  Settings() = BuiltInSettings();
  Settings().SetText(settings_field::HostName, "");
  Settings().SetNumber(settings_field::WebPort, 80);
  EXPECT_EQ(WebLoginUrl("/WEBMAILLOGON"), "http://localhost/mail/");
  EXPECT_EQ(WebLoginUrl("/other"), "http://localhost");
  Settings().SetText(settings_field::HostName, " ;second");
  Settings().SetNumber(settings_field::WebPort, 0);  // stored 0 means 32000
  EXPECT_EQ(WebLoginUrl("/webadminlogon"), "http://localhost:32000/admin/");
  Settings().SetText(settings_field::HostName, "mail.example.org");
  Settings().SetNumber(settings_field::WebPort, 65535);
  EXPECT_EQ(WebLoginUrl("/WebMail2Logon"), "http://mail.example.org:65535/webmail/");
  EXPECT_TRUE(IsWebLoginSwitch("/webmaillogon"));
  EXPECT_FALSE(IsWebLoginSwitch("WEBMAILLOGON"));
  Settings() = saved;
}

TEST(FormatText, FillsPlacesInOrderAndNeverReadsPastTheValues) {
  EXPECT_EQ(FormatText("%s %s Setup", {"Tolva", "9.1.5-7"}), "Tolva 9.1.5-7 Setup");
  EXPECT_EQ(FormatText("%s and %s and %s", {"one"}), "one and  and ");
  EXPECT_EQ(FormatText("no places", {"unused"}), "no places");
  EXPECT_EQ(FormatText("100%% of %S", {"it"}), "100% of it");
  EXPECT_EQ(FormatText("%d %x % %", {"v"}), "%d %x % %");
  EXPECT_EQ(FormatText("ends in %", {}), "ends in %");
  EXPECT_EQ(FormatText("%s", {"%s"}), "%s");  // values are not formatted again
}

}  // namespace
