// The program group, the uninstall entry and the uninstall on a fake
// machine with real host folders: which links are asked for, what is left
// in the folders, which values the registry holds, and what a refused name,
// a denied write or a copy started elsewhere does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "common/temp_folder.h"
#include "localization/message_table.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_servers.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"
#include "support/exit_codes.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "system/create_icons.h"
#include "system/shortcuts.h"
#include "system/uninstall.h"
#include "ui/headless/headless_backend.h"

using namespace platform;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolva";
constexpr const char* kProductKey = "Software\\Nivalis\\Tolva Mail Server";
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const FolderEntry& entry : ListFolder(folder, "*.*"))
    names.push_back(entry.Name);
  std::sort(names.begin(), names.end());
  return names;
}

class ShellIntegrationTest : public ::testing::Test {
 protected:
  ShellIntegrationTest()
      : previousHook_(SetProgramExitHook([](int code) { throw TProgramEnded(code); })) {
    ResetMessageTable();
    install = folder / "Program Files\\Tolva\\";
    ForceFolders(install);
    ForceFolders(folder / "Desktop\\");
    shell.WriteLinks = true;
    shell.Desktop = folder / "Desktop";
    registry.SetString(RegistryRoot::CurrentUser, kShellFolders, "Programs", folder / "User");
    registry.SetString(RegistryRoot::CurrentUser, kShellFolders, "AppData", folder / "AppData");
    registry.SetString(RegistryRoot::LocalMachine, kShellFolders, "Common Programs",
                       folder / "Common");
    request.InstallPath = install;
    request.SetupProgram = install + "setup.exe";
    request.Version = "9.1.5-7";
    request.Name = "Ana";
    request.Email = "ana@example.org";
    request.Company = "Example";
    request.Country = "Austria";
  }
  ~ShellIntegrationTest() override {
    SetProgramExitHook(previousHook_);
    ResetMessageTable();
  }

  // The exit code CreateIcons ended with; -1 when it returned.
  int RunCreateIcons() {
    try {
      CreateIcons(request, registries);
    } catch (const TProgramEnded& ended) {
      return ended.ExitCode();
    }
    return -1;
  }
  std::vector<std::string> LinkPaths() const {
    std::vector<std::string> paths;
    for (const ShellLinkRequest& link : shell.Links)
      paths.push_back(link.LinkPath);
    return paths;
  }
  std::string String(RegistryRoot root, const std::string& key, const std::string& name) {
    auto value = registry.Value(root, key, name);
    if (!value) return "<missing>";
    if (value->Type != RegistryValueType::String) return "<not REG_SZ>";
    std::string text(value->Data.begin(), value->Data.end());
    return text.substr(0, text.find('\0'));
  }

  TempFolder folder;
  std::string install;
  FakeClock clock;
  FakeSystem system;
  FakeRegistry registry;
  FakeShell shell;
  FakeServers machine;
  ui::THeadlessBackend backend;
  TAdvancedRegistry shellFolders{TRegistryKey::hkCURRENT_USER, kShellFoldersArea,
                                 kShellFoldersSection};
  TAdvancedRegistry uninstallKey{TRegistryKey::hkLOCAL_MACHINE, kUninstallArea, kUninstallSection};
  TAdvancedRegistry productKey{TRegistryKey::hkLOCAL_MACHINE, "\\Software", "Tolva"};
  TShellRegistries registries{shellFolders, uninstallKey, productKey};
  TIconsRequest request;
  TProgramExitHook previousHook_;
};

TEST_F(ShellIntegrationTest, GroupIsRebuiltWithTheTableAndTheKeysHoldStrings) {
  const std::string group = folder / "Common\\Nivalis Tolva Mail Server\\";
  PutFile(group + "Extra.lnk", "x");
  PutFile(group + "sub\\Other.lnk", "x");
  PutFile(folder / "Common\\Tolva Mail Server\\Old.lnk", "x");
  PutFile(folder / "Common\\Neighbour\\Keep.lnk", "x");
  PutFile(folder / "User\\Nivalis Tolva Mail Server\\Mine.lnk", "x");
  request.DesktopIcon = true;
  request.QuickLaunchIcon = true;  // AppData has no Quick Launch folder

  EXPECT_EQ(RunCreateIcons(), -1);

  const std::string setup = install + "setup.exe";
  ASSERT_EQ(shell.Links.size(), 9u);
  const std::vector<std::string> names = {"Administration", "Readme",      "Help",
                                          "DNS Query Tool", "Quick Start", "VevErod Oro Guide",
                                          "Uninstall",      "WebAdmin"};
  const std::vector<std::string> targets = {install + "config.exe",
                                            install + "doc\\readme.txt",
                                            install + "doc\\manual.chm",
                                            install + "dnsquery.exe",
                                            install + "doc\\quickstart.pdf",
                                            install + "doc\\webmailguide.pdf",
                                            setup,
                                            setup};
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(shell.Links[i].LinkPath, group + names[i] + ".lnk");
    EXPECT_EQ(shell.Links[i].Target, targets[i]);
  }
  EXPECT_EQ(shell.Links[6].Arguments, "/UNINSTALL");
  EXPECT_EQ(shell.Links[6].IconIndex, 1);
  EXPECT_EQ(shell.Links[7].Arguments, "/WEBADMINLOGON");
  EXPECT_EQ(shell.Links[7].IconIndex, 2);
  EXPECT_EQ(shell.Links[0].IconIndex, 0);
  EXPECT_EQ(shell.Links[0].Arguments, "");
  EXPECT_EQ(shell.Links[8].LinkPath, folder / "Desktop\\Nivalis Server Administration.lnk");
  EXPECT_EQ(shell.Links[8].Target, install + "config.exe");

  std::vector<std::string> expected;
  for (const std::string& name : names)
    expected.push_back(name + ".lnk");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(group), expected);
  EXPECT_THAT(Names(folder / "Common\\"), ElementsAre("Neighbour", "Nivalis Tolva Mail Server"));
  EXPECT_TRUE(Names(folder / "User\\").empty());
  EXPECT_FALSE(PathExists(folder / "AppData"));
  EXPECT_TRUE(backend.Boxes().empty());

  const RegistryRoot hklm = RegistryRoot::LocalMachine;
  EXPECT_EQ(String(hklm, kUninstallKey, "DisplayName"), "Nivalis Tolva Mail Server 9.1.5-7");
  EXPECT_EQ(String(hklm, kUninstallKey, "UninstallString"), "\"" + setup + "\" /UNINSTALL");
  EXPECT_EQ(String(hklm, kUninstallKey, "DisplayIcon"), install + "config.exe");
  EXPECT_EQ(String(hklm, kUninstallKey, "DisplayVersion"), "9.1.5-7");
  EXPECT_EQ(String(hklm, kUninstallKey, "InstallLocation"), install);
  EXPECT_EQ(String(hklm, kUninstallKey, "NoModify"), "1");
  EXPECT_EQ(String(hklm, kUninstallKey, "NoRepair"), "1");
  EXPECT_EQ(String(hklm, kUninstallKey, "Publisher"), "Nivalis");
  EXPECT_EQ(String(hklm, kUninstallKey, "URLInfoAbout"), "www.nivalis.example");
  EXPECT_EQ(String(hklm, kProductKey, "InstallDir"), install);
  EXPECT_EQ(String(hklm, kProductKey, "Name"), "Ana");
  EXPECT_EQ(String(hklm, kProductKey, "Email"), "ana@example.org");
  EXPECT_EQ(String(hklm, kProductKey, "Company"), "Example");
  EXPECT_EQ(String(hklm, kProductKey, "Country"), "Austria");
  EXPECT_EQ(String(hklm, kProductKey, "Version"), "9.1.5-7");
}

TEST_F(ShellIntegrationTest, ApplicationModeAndWebmailAddTheirLinksInTableOrder) {
  request.ServiceMode = false;
  request.Webmail = true;
  request.InstallPath = "C:\\Tolva\\";
  request.SetupProgram = "C:\\Tolva\\setup.exe";
  EXPECT_EQ(RunCreateIcons(), -1);
  std::vector<std::string> files;
  for (const ShellLinkRequest& link : shell.Links)
    files.push_back(ExtractFileName(link.LinkPath) + "|" + link.Target + "|" + link.Arguments +
                    "|" + std::to_string(link.IconIndex));
  // No desktop link without component 2. Three of the English "Start ..."
  // names hold a "/", which no file name can: those links are refused.
  ASSERT_EQ(files.size(), 12u);
  EXPECT_EQ(files[6], "Uninstall.lnk|C:\\Tolva\\setup.exe|/UNINSTALL|1");
  EXPECT_EQ(files[7], "Start SMTP Service.lnk|C:\\Tolva\\smtp.exe||0");
  EXPECT_EQ(files[8], "Start GroupWare Service.lnk|C:\\Tolva\\cal.exe||0");
  EXPECT_EQ(files[9], "VizUdid Azadi.lnk|C:\\Tolva\\setup.exe|/WEBMAILLOGON|2");
  EXPECT_EQ(files[10], "VevErod Oro.lnk|C:\\Tolva\\setup.exe|/WEBMAIL2LOGON|2");
  EXPECT_EQ(files[11], "WebAdmin.lnk|C:\\Tolva\\setup.exe|/WEBADMINLOGON|2");
  Message(TMessage::TolvaPOP3LinkDesc) = "Start POP3 - IMAP Service";
  shell.Links.clear();
  EXPECT_EQ(RunCreateIcons(), -1);
  ASSERT_EQ(shell.Links.size(), 13u);
  EXPECT_EQ(ExtractFileName(shell.Links[8].LinkPath), "Start POP3 - IMAP Service.lnk");
  EXPECT_EQ(String(RegistryRoot::LocalMachine, kUninstallKey, "UninstallString"),
            "C:\\Tolva\\setup.exe /UNINSTALL");
}

TEST_F(ShellIntegrationTest, NamesThatLeaveTheirFolderDeleteAndMakeNothing) {
  PutFile(folder / "Common\\Neighbour\\Keep.lnk", "x");
  PutFile(folder / "Common\\keep.txt", "x");
  PutFile(folder / "x\\keep.txt", "x");
  PutFile(folder / "User\\keep.txt", "x");
  EXPECT_FALSE(IsSafeShellName(""));
  EXPECT_FALSE(IsSafeShellName(".."));
  EXPECT_FALSE(IsSafeShellName("a."));
  EXPECT_FALSE(IsSafeShellName("C:"));
  EXPECT_FALSE(IsSafeShellName("a\tb"));
  EXPECT_TRUE(IsSafeShellName(".hidden name"));

  for (const char* bad : {"", "..\\x", "..", "x/..", " "}) {
    Message(TMessage::cName) = bad;
    Message(TMessage::cOldName) = bad;
    shell.Links.clear();
    EXPECT_EQ(RunCreateIcons(), -1) << bad;
    EXPECT_TRUE(shell.Links.empty()) << bad;
    EXPECT_THAT(Names(folder / "Common\\"), ElementsAre("Neighbour", "keep.txt")) << bad;
    EXPECT_THAT(Names(folder / "x\\"), ElementsAre("keep.txt")) << bad;
    EXPECT_THAT(Names(folder / "User\\"), ElementsAre("keep.txt")) << bad;
    EXPECT_TRUE(PathExists(folder / "Common\\Neighbour\\Keep.lnk")) << bad;
  }
  // The keys do not depend on the group.
  EXPECT_EQ(String(RegistryRoot::LocalMachine, kProductKey, "Version"), "9.1.5-7");

  // One bad line of the link names leaves out that link alone.
  ResetMessageTable();
  Message(TMessage::LinkDesc) = "Administration\r\n..\\..\\Evil\r\nHelp";
  EXPECT_EQ(RunCreateIcons(), -1);
  const std::string group = folder / "Common\\Nivalis Tolva Mail Server\\";
  EXPECT_THAT(LinkPaths(), ElementsAre(group + "Administration.lnk", group + "Help.lnk",
                                       group + "Uninstall.lnk", group + "WebAdmin.lnk"));
  EXPECT_THAT(Names(folder / "Common\\"),
              ElementsAre("Neighbour", "Nivalis Tolva Mail Server", "keep.txt"));

  // Quick Launch lives below AppData, or below the temporary folder when
  // AppData is not recorded.
  EXPECT_EQ(QuickLaunchFolder(), folder / "AppData\\Microsoft\\Internet Explorer\\Quick Launch\\");
  registry.SetString(RegistryRoot::CurrentUser, kShellFolders, "AppData", "");
  EXPECT_EQ(QuickLaunchFolder(), "C:\\Temp\\Microsoft\\Internet Explorer\\Quick Launch\\");
  EXPECT_EQ(DesktopFolder(), folder / "Desktop\\");

  // Without "Common Programs" no group is made anywhere, not at a drive's
  // root; the desktop link and the keys still are.
  registry.SetString(RegistryRoot::LocalMachine, kShellFolders, "Common Programs", "");
  shell.Links.clear();
  request.DesktopIcon = true;
  EXPECT_EQ(RunCreateIcons(), -1);
  EXPECT_THAT(LinkPaths(), ElementsAre(folder / "Desktop\\Nivalis Server Administration.lnk"));
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(ShellIntegrationTest, ARegistryFailureShowsTheBoxAndEndsWithTheFailureCode) {
  registry.InjectFailure(FakeRegistry::Operation::WriteValue, RegistryRoot::LocalMachine,
                         kUninstallKey, kRegistryAccessDenied);
  EXPECT_EQ(RunCreateIcons(), kExitFailedDuringInstall);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Error");
  EXPECT_EQ(backend.Boxes()[0].Request.Icon, ui::TMessageIcon::Error);
  EXPECT_THAT(backend.Boxes()[0].Request.Text, HasSubstr("Registry error: "));
  EXPECT_THAT(backend.Boxes()[0].Request.Text, HasSubstr("DisplayName"));
  EXPECT_THAT(backend.Boxes()[0].Request.Text,
              HasSubstr("There might be already some service running"));
  EXPECT_FALSE(registry.HasKey(RegistryRoot::LocalMachine, kProductKey));
  // The shortcuts came first.
  EXPECT_EQ(shell.Links.size(), 8u);

  // A key that cannot even be created is a failure too, not a silent event.
  backend.ClearBoxes();
  registry.ClearFailures();
  FakeRegistry fresh;
  fresh.SetString(RegistryRoot::LocalMachine, kShellFolders, "Common Programs", folder / "Common");
  fresh.DenyWrites(RegistryRoot::LocalMachine, "Software\\Nivalis");
  EXPECT_EQ(RunCreateIcons(), kExitFailedDuringInstall);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_THAT(backend.Boxes()[0].Request.Text, HasSubstr("Tolva Mail Server"));
  EXPECT_EQ(String(RegistryRoot::LocalMachine, kUninstallKey, "Publisher"), "<missing>");
  auto publisher = fresh.Value(RegistryRoot::LocalMachine, kUninstallKey, "Publisher");
  EXPECT_TRUE(publisher.has_value());
}

class UninstallTest : public ShellIntegrationTest {
 protected:
  UninstallTest() {
    request.DesktopIcon = true;
    EXPECT_EQ(RunCreateIcons(), -1);
    shell.Links.clear();
    for (size_t i = 0; i < kProgramFileCount; ++i)
      PutFile(install + ProgramFileName(i), "x");
    for (const char* name : {"nivaliscom.dll", "cal.exe", "im.exe", "setup.exe", "other.exe"})
      PutFile(install + name, "x");
    for (const char* name : {"doc", "wizards", "aspell", "modules", "spam", "html", "api",
                             "examples", "xml", "php", "avast\\setup", "config", "mail", "logs"})
      PutFile(install + name + "\\file.txt", "x");
    const char* const services[] = {"TolvaSMTP", "TolvaPOP3", "TolvaControl", "TolvaIM",
                                    "TolvaCalendar"};
    const char* const programs[] = {"smtp.exe", "pop3.exe", "control.exe", "im.exe", "cal.exe"};
    for (int i = 0; i < 5; ++i)
      machine.AddService(services[i], "\"" + install + programs[i] + "\"", kServiceRunning)
          .StopAfterQueries = 1;
    machine.AddLibrary(install + "api.dll", {});
    machine.AddLibrary(install + "nivaliscom.dll", {});
  }
  void RunUninstall(const std::string& programFolder) {
    Uninstall({programFolder, programFolder}, registries);
  }
};

TEST_F(UninstallTest, FromTheInstallationFolderEverythingButTheDataGoes) {
  ASSERT_TRUE(PathExists(folder / "Desktop\\Nivalis Server Administration.lnk"));
  EXPECT_TRUE(SameFolder("C:\\Program Files\\Tolva", "c:\\program files\\TOLVA\\"));
  EXPECT_TRUE(SameFolder(install + "doc\\..\\", install));
  EXPECT_FALSE(SameFolder(install + "doc\\", install));
  EXPECT_FALSE(SameFolder("", ""));
  // The recorded folder may lack its trailing delimiter.
  registry.SetString(RegistryRoot::LocalMachine, kProductKey, "InstallDir",
                     WithPathDelimiter(install, false, false));
  RunUninstall(install);

  for (const char* name : {"TolvaSMTP", "TolvaPOP3", "TolvaControl", "TolvaIM", "TolvaCalendar"})
    EXPECT_EQ(machine.FindService(name), nullptr) << name;
  const std::vector<std::string> stops = machine.JournalWith("Control ");
  ASSERT_FALSE(stops.empty());
  EXPECT_THAT(stops[0], HasSubstr("TolvaControl"));
  EXPECT_THAT(machine.JournalWith("CallEntry"),
              ElementsAre("CallEntry " + install + "api.dll DllUnregisterServer",
                          "CallEntry " + install + "nivaliscom.dll DllUnregisterServer"));
  EXPECT_THAT(Names(install), ElementsAre("config", "logs", "mail", "other.exe", "setup.exe"));
  EXPECT_FALSE(PathExists(folder / "Common\\Nivalis Tolva Mail Server"));
  EXPECT_FALSE(PathExists(folder / "Desktop\\Nivalis Server Administration.lnk"));
  EXPECT_FALSE(registry.HasKey(RegistryRoot::LocalMachine, kUninstallKey));
  EXPECT_FALSE(registry.HasKey(RegistryRoot::LocalMachine, kProductKey));
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Information");
  EXPECT_EQ(backend.Boxes()[0].Request.Text,
            "Uninstall completed. Some elements could not be removed. You should manually "
            "remove the items from the directory.");
  ASSERT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(shell.Opened[0].Verb, "open");
  EXPECT_EQ(shell.Opened[0].File, install);
  EXPECT_EQ(shell.Opened[0].ShowCommand, 1);
}

TEST_F(UninstallTest, FromACopyElsewhereNoFileIsDeleted) {
  const std::string copy = folder / "Downloads\\";
  for (const char* name : {"setup.exe", "smtp.exe", "api.dll", "doc\\readme.txt",
                           "html\\index.html", "php\\php.ini", "avast\\setup\\setiface.dll"})
    PutFile(copy + name, "x");
  const std::vector<std::string> copyBefore = Names(copy);
  const std::vector<std::string> installBefore = Names(install);
  RunUninstall(copy);

  EXPECT_EQ(Names(copy), copyBefore);
  EXPECT_THAT(Names(copy + "doc\\"), ElementsAre("readme.txt"));
  EXPECT_EQ(Names(install), installBefore);
  EXPECT_THAT(Names(install + "doc\\"), ElementsAre("file.txt"));
  EXPECT_TRUE(machine.JournalWith("CallEntry").empty());
  // Services, shortcuts and keys go all the same.
  EXPECT_EQ(machine.FindService("TolvaSMTP"), nullptr);
  EXPECT_FALSE(PathExists(folder / "Common\\Nivalis Tolva Mail Server"));
  EXPECT_FALSE(registry.HasKey(RegistryRoot::LocalMachine, kUninstallKey));
  EXPECT_FALSE(registry.HasKey(RegistryRoot::LocalMachine, kProductKey));
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_THAT(backend.Boxes()[0].Request.Text, HasSubstr("no program files were deleted"));
  EXPECT_THAT(backend.Boxes()[0].Request.Text, HasSubstr(install));
  ASSERT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(shell.Opened[0].File, install);
}

}  // namespace
