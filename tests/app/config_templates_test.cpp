// Templates expanded with the installation's folders, the web server's
// configuration edit for old versions, and the spell checker's key.
#include <gtest/gtest.h>

#include "app/config_templates.h"
#include "app/installer_state.h"
#include "common/temp_folder.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_system.h"
#include "support/paths.h"

using namespace platform;

namespace {

TEST(ConfigTemplates, TemplateLinesAreTrimmedAndTheirFirstPlaceholdersReplaced) {
  TempFolder folder;
  FakeSystem system;
  system.Windows = "C:\\Win";
  TInstallerState state;
  state.ExtractPath = folder / "extract\\";
  state.InstallPath = "C:\\Tolva\\";
  state.LogsPath = "D:\\Logs\\";
  PutFile(folder / "extract\\php\\php.ini",
          "\r\n  [PHP]\r\n\r\n\textension_dir=%%installpath%%php\\ext  \n"
          "error_log=%%logpath%%php.log ; %%logpath%%again\n"
          "all=%%installpath%%|%%logpath%%|%%temppath%%\n\n   \n");
  ExpandTemplate(state, "php\\php.ini", folder / "target\\php");
  EXPECT_EQ(GetFile(folder / "target\\php\\php.ini"),
            "[PHP]\r\n"
            "extension_dir=C:\\Tolva\\php\\ext\r\n"
            "error_log=D:\\Logs\\php.log ; %%logpath%%again\r\n"
            "all=C:\\Tolva\\|D:\\Logs\\|C:\\Win\\temp\\\r\n");

  // Missing or blank templates write nothing, not even an empty file.
  ExpandTemplate(state, folder / "nothing.ini", folder / "target2\\");
  EXPECT_FALSE(FileExists(folder / "target2\\nothing.ini"));
  PutFile(folder / "blank.ini", " \r\n\t\r\n");
  ExpandTemplate(state, folder / "blank.ini", folder / "target2\\");
  EXPECT_FALSE(FileExists(folder / "target2\\blank.ini"));
}

TEST(ConfigTemplates, WebServerConfigGetsTheWebClientSectionsOnce) {
  TempFolder folder;
  const std::string cfg = folder / "config\\webserver.cfg";
  EditWebServerConfig(folder.Path());  // no file: nothing made
  EXPECT_FALSE(FileExists(cfg));

  PutFile(cfg, "[General]\r\nPort=80\r\n\r\n");
  EditWebServerConfig(folder.Path());
  EXPECT_EQ(GetFile(cfg),
            "[General]\r\nPort=80\r\n\r\n[Filter]\r\n=modules\\wcs.dll|[wcs]\r\n\r\n"
            "[Virtual-Host]\r\n/wcs/=[wcs]\r\n");
  // The second time it finds its module and changes nothing.
  const std::string once = GetFile(cfg);
  EditWebServerConfig(folder.Path());
  EXPECT_EQ(GetFile(cfg), once);

  PutFile(cfg,
          "[filter]\r\n=webmail\\web.dll|[php]\r\n\r\n[Virtual-Host]\r\n/mail/=[mail]\r\n\r\n"
          "[Other]\r\nx=webmail\\web.dll\r\n");
  EditWebServerConfig(folder.Path());
  EXPECT_EQ(GetFile(cfg),
            "[filter]\r\n=php\\php.dll|[php]\r\n=modules\\wcs.dll|[wcs]\r\n\r\n"
            "[Virtual-Host]\r\n/wcs/=[wcs]\r\n/mail/=[mail]\r\n\r\n[Other]\r\nx=php\\php.dll\r\n");

  // The module there already: only the old web mail module is replaced.
  PutFile(cfg, "[Filter]\r\n=modules\\wcs.dll|[wcs]\r\n=webmail\\web.dll|[php]\r\n\r\n");
  EditWebServerConfig(folder.Path());
  EXPECT_EQ(GetFile(cfg), "[Filter]\r\n=modules\\wcs.dll|[wcs]\r\n=php\\php.dll|[php]\r\n\r\n");

  // Sections without an empty line after them, one of them ending the file.
  PutFile(cfg, "[Filter]\r\n=a\r\n[Next]\r\nb=1\r\n[Virtual-Host]");
  EditWebServerConfig(folder.Path());
  EXPECT_EQ(GetFile(cfg),
            "[Filter]\r\n=a\r\n=modules\\wcs.dll|[wcs]\r\n[Next]\r\nb=1\r\n[Virtual-Host]\r\n"
            "/wcs/=[wcs]\r\n");
}

TEST(ConfigTemplates, SpellCheckerKeyIsMadeOnceAndTheLibraryCopiedAlways) {
  TempFolder folder;
  FakeRegistry registry;
  PutFile(folder / "aspell\\bin\\aspell-15.dll", "new");
  ForceFolders(folder / "php\\");
  EXPECT_TRUE(RegisterAspell(folder / "aspell\\", folder / "php\\"));
  const std::string expected = WithPathDelimiter(folder / "aspell\\", false, false);
  auto value = registry.Value(RegistryRoot::LocalMachine, "Software\\ASpell", "");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(std::string(value->Data.begin(), value->Data.end() - 1), expected);
  EXPECT_EQ(GetFile(folder / "php\\aspell-15.dll"), "new");

  registry.SetString(RegistryRoot::LocalMachine, "Software\\ASpell", "", "C:\\Mine");
  PutFile(folder / "aspell\\bin\\aspell-15.dll", "newer");
  EXPECT_FALSE(RegisterAspell(folder / "aspell\\", folder / "php\\"));
  value = registry.Value(RegistryRoot::LocalMachine, "Software\\ASpell", "");
  EXPECT_EQ(std::string(value->Data.begin(), value->Data.end() - 1), "C:\\Mine");
  EXPECT_EQ(GetFile(folder / "php\\aspell-15.dll"), "newer");
}

}  // namespace
