// The deployment of a distribution into an installation folder, on the real
// file system: a new installation, then two upgrades over it, then the
// failures that end a run. Archives are written here, so every case sees
// exactly the entries it needs.
#include <gtest/gtest.h>

#include <map>

#include "app/deploy_files.h"
#include "app/installer_state.h"
#include "app/program_file_backup.h"
#include "app/run_progress.h"
#include "archive/archive_writer.h"
#include "common/file_tree.h"
#include "common/temp_folder.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_shell.h"
#include "platform/files.h"
#include "support/exit_codes.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/setup_log.h"
#include "ui/headless/headless_backend.h"

namespace {

using Entries = std::map<std::string, std::string>;

void WriteArchive(const std::string& path, const Entries& entries) {
  TArchiveWriter writer(3);
  ASSERT_TRUE(writer.Create(path));
  for (const auto& [name, content] : entries)
    writer.AddContent(name, content);
  writer.Close();
}

class RecordingProgress : public TRunProgress {
 public:
  void SetProgressCaption(const std::string& text) override { Events.push_back(text); }
  void StepProgress() override { Events.push_back("step"); }
  std::vector<std::string> Events;
};

class Deployment : public ::testing::Test {
 protected:
  Deployment() {
    previousHook = SetProgramExitHook([](int code) { throw TProgramEnded(code); });
    OpenLog(folder / "setup.log", 0);
    state.InstallPath = folder / "Tolva\\";
    state.ExtractPath = folder / "extract\\";
    state.LogsPath = folder / "Tolva\\logs\\";
    state.ReadmePath = folder / "dist\\readme.txt";
    PutFile(folder / "dist\\setup.exe", "installer");
    PutFile(folder / "dist\\releasenotes.txt", "notes");
    PutFile(folder / "dist\\readme.txt", "readme");
  }
  ~Deployment() override {
    SetupLog().Active = false;
    SetProgramExitHook(previousHook);
  }

  // What unpacking the main archive leaves in the extraction folder.
  void UnpackMainArchive(const std::string& release) {
    const char* core[] = {"smtp.exe",     "pop3.exe",     "control.exe",   "config.exe",
                          "dnsquery.exe", "tool.exe",     "sendmail.exe",  "api.dll",
                          "libeay32.dll", "libssl32.dll", "db.dll",        "regex.dll",
                          "sqlite3.dll",  "libiconv.dll", "nivaliscom.dll"};
    for (const char* name : core)
      PutFile(state.ExtractPath + name, release + name);
    PutFile(state.ExtractPath + "im.exe", release);
    PutFile(state.ExtractPath + "cert.pem", "package cert");
    PutFile(state.ExtractPath + "webserver.dat",
            "<WEB>\n  <ROOT>%%installpath%%html</ROOT>\n</WEB>");
    PutFile(state.ExtractPath + "calendar\\calendar.xml", release + "calendar");
    PutFile(state.ExtractPath + "calendar\\groupware.db", "package db");
    PutFile(state.ExtractPath + "calendar\\holidays\\de.xml", release + "holidays");
    PutFile(state.ExtractPath + "calendar\\extra.txt", "only on first install");
    for (const char* tree : {"doc", "modules", "html", "api", "examples", "xml"})
      PutFile(state.ExtractPath + tree + "\\" + tree + ".txt", release + tree);
  }

  void WriteModules(const std::string& release) {
    WriteArchive(folder / "dist\\setupphp.dat",
                 {{"php.ini",
                   "[PHP]\r\n\r\n   extension_dir=%%installpath%%php\\ext ; %%installpath%%\r\n"
                   "\t\r\nall=%%installpath%%|%%logpath%%|%%temppath%%\r\n"
                   "extension=php_pspell.dll\r\n"},
                  {"php.dll", release}});
    WriteArchive(folder / "dist\\setupas.dat", {{"rules\\1base.cf", release + "1"},
                                                {"rules\\6last.cf", release + "6"},
                                                {"rules\\local.cf", "package local"},
                                                {"template\\report.txt", release + "template"},
                                                {"antispam.db", "package antispam"}});
    WriteArchive(folder / "dist\\setupldap.dat", {{"create.bat", "@echo off\r\n"}});
    WriteArchive(folder / "dist\\setupaspell.dat", {{"bin\\aspell-15.dll", release + "aspell"}});
    WriteArchive(folder / "dist\\setupwebmail.dat", {{"html\\index.html", release + "index"},
                                                     {"projects\\p.txt", release + "project"},
                                                     {"server\\web.ini", release + "web"}});
    WriteArchive(folder / "dist\\setupwebmail2.dat", {{"webmail\\client.js", release + "client"}});
    // No engine library here: its calls fail and the deployment goes on.
    WriteArchive(folder / "dist\\setupavast.dat", {{"avastoem.exe", "engine"}});
  }

  void Deploy(bool spellChecker = true) {
    TDeployment deployment{state,
                           progress,
                           [spellChecker](int id) { return id != 11 || spellChecker; },
                           folder / "dist\\",
                           "setup.exe",
                           folder / "windows\\"};
    DeployFiles(deployment);
  }

  int EndCode(bool spellChecker = true) {
    try {
      Deploy(spellChecker);
    } catch (const TProgramEnded& ended) {
      return ended.ExitCode();
    }
    return -1;
  }

  std::string Installed(const std::string& relative) {
    return GetFile(state.InstallPath + relative);
  }
  bool InstalledExists(const std::string& relative) {
    return platform::PathExists(state.InstallPath + relative);
  }

  TempFolder folder;
  ui::THeadlessBackend backend;
  platform::FakeShell shell;
  platform::FakeRegistry registry;
  TProgramExitHook previousHook;
  TInstallerState state;
  RecordingProgress progress;
};

TEST_F(Deployment, NewInstallationThenUpgradesKeepWhatTheAdministratorOwns) {
  UnpackMainArchive("r1 ");
  WriteModules("r1 ");
  PutFile(folder / "windows\\wmi.ini", "stale");
  PutFile(state.InstallPath + "smtp.exe", "read-only old");
  ASSERT_TRUE(platform::SetReadOnly(state.InstallPath + "smtp.exe", true));
  Deploy();

  EXPECT_EQ(progress.Events, (std::vector<std::string>{"Installing Files...", "step",
                                                       "Installing Antivirus Engine...", "step",
                                                       "Installing WebMail..."}));
  EXPECT_EQ(Installed("smtp.exe"), "r1 smtp.exe");
  EXPECT_EQ(Installed("nivaliscom.dll"), "r1 nivaliscom.dll");
  EXPECT_EQ(Installed("im.exe"), "r1 ");
  EXPECT_FALSE(InstalledExists("cal.exe"));
  EXPECT_EQ(Installed("config\\cert.pem"), "package cert");
  EXPECT_EQ(Installed("config\\webserver.dat"),
            "<WEB>\r\n<ROOT>" + state.InstallPath + "html</ROOT>\r\n</WEB>\r\n");
  EXPECT_EQ(Installed("doc\\releasenotes.txt"), "notes");
  EXPECT_EQ(Installed("doc\\readme.txt"), "readme");
  EXPECT_EQ(Installed("setup.exe"), "installer");
  EXPECT_EQ(Installed("modules\\modules.txt"), "r1 modules");
  // php.ini: no blank or indented lines, the first placeholder of each kind
  // replaced per line.
  const std::string temp = GetSpecialFolder(SpecialFolder::Windows, false) + "temp\\";
  EXPECT_EQ(Installed("php\\php.ini"),
            "[PHP]\r\nextension_dir=" + state.InstallPath +
                "php\\ext ; %%installpath%%\r\nall=" + state.InstallPath + "|" + state.LogsPath +
                "|" + temp + "\r\nextension=php_pspell.dll\r\n");
  EXPECT_FALSE(platform::PathExists(folder / "windows\\wmi.ini"));
  EXPECT_EQ(Installed("php\\aspell-15.dll"), "r1 aspell");
  EXPECT_EQ(Installed("aspell\\bin\\aspell-15.dll"), "r1 aspell");
  ASSERT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(shell.Opened[0].File, state.InstallPath + "ldap\\create.bat");
  EXPECT_EQ(shell.Opened[0].Verb, "open");
  EXPECT_EQ(shell.Opened[0].Folder, state.InstallPath + "ldap\\");
  EXPECT_EQ(shell.Opened[0].ShowCommand, 0);
  EXPECT_EQ(Installed("spam\\rules\\local.cf"), "package local");
  EXPECT_EQ(Installed("spam\\antispam.db"), "package antispam");
  EXPECT_EQ(Installed("calendar\\groupware.db"), "package db");
  EXPECT_EQ(Installed("calendar\\extra.txt"), "only on first install");
  EXPECT_EQ(Installed("html\\mail\\index.html"), "r1 index");
  EXPECT_EQ(Installed("webmail\\server\\web.ini"), "r1 web");
  EXPECT_TRUE(FolderExists(state.InstallPath + "webmail\\config\\"));
  EXPECT_FALSE(InstalledExists("webmail\\html"));
  EXPECT_EQ(Installed("webmail\\client.js"), "r1 client");
  for (const char* gone : {"spam\\", "avast\\", "webmail\\"})
    EXPECT_FALSE(platform::PathExists(state.ExtractPath + gone)) << gone;
  EXPECT_TRUE(backend.Boxes().empty());

  // The administrator's own files, and what older versions left behind.
  PutFile(state.InstallPath + "spam\\rules\\local.cf", "my local rules");
  PutFile(state.InstallPath + "spam\\rules\\1mine.cf", "numbered: the package's");
  PutFile(state.InstallPath + "spam\\rules\\site.cf", "mine");
  PutFile(state.InstallPath + "spam\\antispam.db", "learned");
  PutFile(state.InstallPath + "calendar\\groupware.db", "appointments");
  PutFile(state.InstallPath + "webmail\\projects\\stale.txt", "stale");
  PutFile(state.InstallPath + "php\\php.ini", "administrator's first");
  PutFile(state.InstallPath + "cert.pem", "old cert beside the programs");
  PutFile(state.InstallPath + "db.ini", "old db settings");
  PutFile(state.InstallPath + "config\\cert.pem", "my cert");
  platform::RemoveFile(state.InstallPath + "ldap\\create.bat");
  platform::RemoveFile(state.InstallPath + "calendar\\extra.txt");
  UnpackMainArchive("r2 ");
  WriteModules("r2 ");
  progress.Events.clear();
  Deploy(false);

  EXPECT_EQ(Installed("smtp.exe"), "r2 smtp.exe");
  EXPECT_EQ(Installed("spam\\rules\\local.cf"), "my local rules");
  EXPECT_FALSE(InstalledExists("spam\\rules\\1mine.cf"));
  EXPECT_EQ(Installed("spam\\rules\\1base.cf"), "r2 1");
  EXPECT_EQ(Installed("spam\\rules\\site.cf"), "mine");
  EXPECT_EQ(Installed("spam\\template\\report.txt"), "r2 template");
  EXPECT_EQ(Installed("spam\\antispam.db"), "learned");
  EXPECT_EQ(Installed("calendar\\groupware.db"), "appointments");
  EXPECT_EQ(Installed("calendar\\calendar.xml"), "r2 calendar");
  EXPECT_EQ(Installed("calendar\\holidays\\de.xml"), "r2 holidays");
  EXPECT_FALSE(InstalledExists("calendar\\extra.txt"));
  EXPECT_FALSE(InstalledExists("webmail\\projects\\stale.txt"));
  EXPECT_EQ(Installed("webmail\\projects\\p.txt"), "r2 project");
  // Both certificates stay where they were; the package's is not used.
  EXPECT_EQ(Installed("cert.pem"), "old cert beside the programs");
  EXPECT_EQ(Installed("config\\cert.pem"), "my cert");
  EXPECT_EQ(Installed("config\\db.ini"), "old db settings");
  EXPECT_FALSE(InstalledExists("db.ini"));
  EXPECT_FALSE(InstalledExists("ldap\\create.bat"));
  EXPECT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(Installed("php\\php.ini.old"), "administrator's first");
  // Without the spell checker its PHP extension is commented out, once more
  // on every run.
  EXPECT_NE(Installed("php\\php.ini").find("\r\n;extension=php_pspell.dll\r\n"), std::string::npos);

  PutFile(state.InstallPath + "php\\php.ini",
          "administrator's second\r\n;extension=php_pspell.dll");
  // A certificate beside the programs moves into "config\" when none is there.
  platform::RemoveFile(state.InstallPath + "config\\cert.pem");
  UnpackMainArchive("r3 ");
  Deploy(false);
  EXPECT_EQ(Installed("config\\cert.pem"), "old cert beside the programs");
  EXPECT_FALSE(InstalledExists("cert.pem"));
  EXPECT_EQ(Installed("php\\php.ini.old"), "administrator's second\r\n;extension=php_pspell.dll");
  EXPECT_NE(Installed("php\\php.ini").find(";extension=php_pspell.dll"), std::string::npos);
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(Deployment, FatalArchivesMissingFilesAdministrationOnlyAndDownloadedArchives) {
  UnpackMainArchive("r1 ");
  WriteModules("r1 ");
  // A module archive cut short ends the run with its name.
  const std::string whole = GetFile(folder / "dist\\setupas.dat");
  PutFile(folder / "dist\\setupas.dat", whole.substr(0, whole.size() - 8));
  EXPECT_EQ(EndCode(), kExitFailedDuringInstall);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text, "Extracting files error: data file error setupas.dat");
  const std::string log = GetFile(folder / "setup.log");
  const std::string abort =
      "Error: Setup aborted - Extracting files error: data file error setupas.dat\r\n\r\n";
  ASSERT_GE(log.size(), abort.size());
  EXPECT_EQ(log.substr(log.size() - abort.size()), abort);

  // Without the release notes the administrator can only retry or cancel.
  WriteModules("r1 ");
  platform::RemoveFile(folder / "dist\\releasenotes.txt");
  backend.ClearBoxes();
  backend.AnswerBoxes({ui::TModalResult::Retry, ui::TModalResult::Cancel});
  EXPECT_EQ(EndCode(), kExitFailedDuringInstall);
  ASSERT_EQ(backend.Boxes().size(), 2u);
  EXPECT_EQ(backend.Boxes()[1].Request.Text.rfind(
                "An error occured while copying file 'releasenotes.txt'.", 0),
            0u);

  // An archive fetched into the download folder is used like one beside
  // the installer; web mail needs its second archive.
  PutFile(folder / "dist\\releasenotes.txt", "notes");
  WriteArchive(state.ExtractPath + "setupwizard.dat", {{"wizard.txt", "downloaded"}});
  platform::RemoveFile(folder / "dist\\setupwebmail2.dat");
  backend.ClearBoxes();
  EXPECT_EQ(EndCode(), kExitFailedDuringInstall);
  EXPECT_EQ(Installed("wizards\\wizard.txt"), "downloaded");
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text,
            "Extracting files error: data file error setupwebmail2.dat");

  // Administration only: the one archive and nothing else.
  state.InstallPath = folder / "AdminOnly\\";
  state.AdminOnly = true;
  WriteArchive(folder / "dist\\setupconfig.dat", {{"admin\\index.html", "admin"}});
  progress.Events.clear();
  Deploy();
  EXPECT_EQ(Installed("admin\\index.html"), "admin");
  EXPECT_EQ(platform::ListFolder(state.InstallPath, "*.*").size(), 1u);
  EXPECT_EQ(progress.Events, std::vector<std::string>{"Installing Files..."});
  platform::RemoveFile(folder / "dist\\setupconfig.dat");
  EXPECT_EQ(EndCode(), kExitFailedDuringInstall);
}

// With the run's backup, an upgrade that is put back leaves the program
// files exactly as they were, the numbered rules and the php.ini pair
// included; one that finishes leaves no kept copy.
TEST_F(Deployment, AnUpgradePutBackLeavesTheProgramFilesAsTheyWere) {
  UnpackMainArchive("r1 ");
  WriteModules("r1 ");
  Deploy();
  PutFile(state.InstallPath + "spam\\rules\\local.cf", "my local rules");
  PutFile(state.InstallPath + "php\\php.ini", "administrator's first");
  const auto upgrade = [this](const std::string& release, TProgramFileBackup& backup) {
    UnpackMainArchive(release);
    WriteModules(release);
    SetActiveBackup(&backup);
    Deploy();
    SetActiveBackup(nullptr);
  };
  TProgramFileBackup finished;
  upgrade("r2 ", finished);
  finished.Discard();
  EXPECT_EQ(Installed("php\\php.ini.old"), "administrator's first");
  EXPECT_EQ(Installed("spam\\rules\\1base.cf"), "r2 1");

  PutFile(state.InstallPath + "php\\php.ini", "administrator's second");
  PutFile(state.InstallPath + "spam\\rules\\1mine.cf", "numbered");
  PutFile(state.InstallPath + "spam\\rules\\6last.cf", "sixth, edited");
  const TFileTree before = ReadTree(state.InstallPath);
  for (const auto& [name, content] : before)
    EXPECT_EQ(name.find(TProgramFileBackup::kSuffix), std::string::npos) << name;
  TProgramFileBackup failed;
  upgrade("r3 ", failed);
  EXPECT_EQ(Installed("php\\php.ini.old"), "administrator's second");
  EXPECT_FALSE(InstalledExists("spam\\rules\\1mine.cf"));
  EXPECT_EQ(Installed("smtp.exe"), "r3 smtp.exe");
  EXPECT_GT(failed.Restore(), 0u);
  EXPECT_TRUE(SameTree(ReadTree(state.InstallPath), before));
  EXPECT_TRUE(backend.Boxes().empty());
}

}  // namespace
