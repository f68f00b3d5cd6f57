// The installation run on the fake machine: services, registry, shell and
// clock are fakes, files are real. One journal holds the service calls, the
// step captions and the progress steps in the order they happened.
#include <gmock/gmock.h>

#include "app/installation_run.h"
#include "app/installer_state.h"
#include "archive/archive_writer.h"
#include "components/component_state.h"
#include "components/component_tree.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config_state.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_servers.h"
#include "platform/files.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"
#include "support/paths.h"
#include "support/setup_log.h"
#include "system/server_table.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

void WriteArchive(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& entries) {
  TArchiveWriter writer(3);
  ASSERT_TRUE(writer.Create(path));
  for (const auto& [name, content] : entries)
    writer.AddContent(name, content);
  writer.Close();
}

class InstallationRun : public StartupTest {
 protected:
  InstallationRun() {
    system.Dns.Current = "10.0.0.1";
    system.Dns.Configured = {"10.0.0.2", "10.0.0.3"};
    registry.SetString(platform::RegistryRoot::LocalMachine,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       "Common Programs", folder / "Common");
    system.Windows = folder / "windows";
    RunOperations().ObserveCaption = [this](const std::string& text) {
      machine.Journal.push_back("Caption " + text);
    };
    RunOperations().ObserveStep = [this](int position, int maximum) {
      machine.Journal.push_back("Step " + std::to_string(position) + "/" + std::to_string(maximum));
    };
    RunOperations().RunUpgradeProcedures = [this](const std::string& from,
                                                  const std::string& install) {
      machine.Journal.push_back("Upgrade " + from + " " + install);
    };
    WriteDistribution();
    backend.AnswerBoxes({ui::TModalResult::Yes});
    EXPECT_EQ(Start(), std::nullopt);
    backend.ClearBoxes();
    install = folder / "Tolva\\";
    form.PathEdit->SetText(install);
  }
  ~InstallationRun() override {
    RunOperations() = TRunOperations();
    SetupLog().Active = false;
  }

  void WriteDistribution(const std::string& release = "") {
    std::vector<std::pair<std::string, std::string>> main;
    for (const char* name :
         {"smtp.exe", "pop3.exe", "control.exe", "im.exe", "cal.exe", "config.exe", "dnsquery.exe",
          "tool.exe", "sendmail.exe", "api.dll", "libeay32.dll", "libssl32.dll", "db.dll",
          "regex.dll", "sqlite3.dll", "libiconv.dll", "nivaliscom.dll", "cert.pem"})
      main.emplace_back(name, release + name);
    main.emplace_back("webserver.dat", "<WEB/>");
    main.emplace_back("calendar\\calendar.xml", "calendar");
    main.emplace_back("calendar\\groupware.db", "db");
    WriteArchive(Distribution() + "setup.dat", main);
    WriteArchive(Distribution() + "setupas.dat", {{"antispam.db", "as"}});
    WriteArchive(Distribution() + "setupavast.dat", {{"avastoem.exe", "av"}});
    WriteArchive(Distribution() + "setupwebmail2.dat", {{"webmail\\w.txt", "w"}});
    for (const char* optional :
         {"setupphp.dat", "setupldap.dat", "setupwizard.dat", "setupaspell.dat"})
      WriteArchive(Distribution() + optional, {{"readme.txt", optional}});
    WriteArchive(Distribution() + "setupconfig.dat", {{"admin\\index.html", "admin"}});
    PutFile(Distribution() + "releasenotes.txt", "notes");
  }

  // The setup log's lines without their time stamps.
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    const std::string log = GetFile(form.State.LogsPath + "setup\\setup.log");
    size_t start = 0;
    while (start < log.size()) {
      const size_t end = log.find("\r\n", start);
      std::string line = log.substr(start, end - start);
      lines.push_back(line.size() >= 20 ? line.substr(20) : line);
      start = end == std::string::npos ? log.size() : end + 2;
    }
    return lines;
  }

  std::vector<std::string> Events() {
    std::vector<std::string> events;
    for (const std::string& line : machine.Journal)
      for (const char* prefix :
           {"Caption", "Step", "Control", "Create", "Start", "ChangeConfig", "Delete", "Upgrade"})
        if (line.rfind(prefix, 0) == 0) events.push_back(line);
    return events;
  }

  int Run() {
    machine.Journal.clear();
    try {
      RunInstallation(form);
    } catch (const TProgramEnded& ended) {
      return ended.ExitCode();
    }
    return -1;
  }

  platform::FakeServers machine;
  platform::FakeClock clock;
  std::string install;
};

TEST_F(InstallationRun, NewInstallationThenUpgradeWithADisabledServer) {
  form.State.FooterText = "Sent by Tolva";
  EXPECT_EQ(Run(), -1);
  const std::string extract = form.State.ExtractPath;
  const std::string starting = "Starting Services...";
  EXPECT_THAT(Events(), ElementsAreArray(std::vector<std::string>{
                            "Caption Extracting Files...",
                            "Step 1/12",
                            "Caption Checking For Running Services...",
                            "Caption Checking For Running Services...",
                            "Step 2/12",
                            "Step 3/12",
                            "Caption Installing Files...",
                            "Step 4/12",
                            "Caption Installing Antivirus Engine...",
                            "Step 5/12",
                            "Caption Installing WebMail...",
                            "Step 6/12",
                            "Step 7/12",
                            "Step 8/12",
                            "Step 9/12",
                            "Step 10/12",
                            "Caption Creating Icons...",
                            "Caption Installing Services...",
                            "Create TolvaSMTP \"" + install + "smtp.exe\"",
                            "Create TolvaPOP3 \"" + install + "pop3.exe\"",
                            "Create TolvaControl \"" + install + "control.exe\"",
                            "Create TolvaIM \"" + install + "im.exe\"",
                            "Create TolvaCalendar \"" + install + "cal.exe\"",
                            "Caption " + starting,
                            "Start TolvaSMTP",
                            "Start TolvaPOP3",
                            "Start TolvaControl",
                            "Start TolvaIM",
                            "Start TolvaCalendar",
                            "Caption Finishing Installation...",
                            "Step 11/12",
                            "Step 12/12",
                            "Caption Installation Complete"}));
  EXPECT_THAT(clock.Sleeps(), ::testing::Contains(2000u));
  EXPECT_THAT(LogLines(),
              ElementsAre("Started \"Nivalis Tolva Mail Server\" 9.1.5-7 \"" + install + "\"",
                          "Checking running services", "Services stopped",
                          "Data file extracted to \"" + extract + "\"", "Copying files...",
                          "Copying files done", "Installing services",
                          "Extracted data deleted \"" + extract + "\"", "Starting services",
                          "Finished", ""));
  EXPECT_EQ(form.State.LogsPath, install + "logs\\");
  EXPECT_FALSE(platform::PathExists(extract));
  EXPECT_EQ(GetFile(install + "config\\tags.dat"), ";\r\nfootervalue.txt;\r\n\r\n\r\n10\r\n");
  EXPECT_EQ(GetFile(install + "config\\footervalue.txt"), "Sent by Tolva");
  SettingsRecord saved = GetSettingsFile(install + "config\\settings.cfg");
  EXPECT_EQ(saved.TempPath(), install + "temp\\");
  EXPECT_EQ(saved.MailPath(), install + "mail\\");
  EXPECT_EQ(saved.LogPath(), install + "logs\\");
  EXPECT_EQ(saved.DnsServers(), "10.0.0.1;10.0.0.2;10.0.0.3");
  EXPECT_EQ(saved.InterfaceLayout(), "advanced.xml");
  EXPECT_EQ(saved.Number(settings_field::FooterSwitch), 1);
  EXPECT_EQ(GetFile(install + "smtp.exe"), "smtp.exe");
  EXPECT_TRUE(backend.Boxes().empty());

  // An upgrade over it from an older version: the disabled server is made
  // automatic for the run and disabled again at its end; the settings stay.
  machine.FindService("TolvaIM")->Config.StartType = platform::kServiceDisabled;
  machine.FindService("TolvaIM")->State = platform::kServiceStopped;
  form.State.PreviousVersion = "7.7.2";
  form.State.RecordedInstallDir = install;
  saved.SetText(settings_field::DnsServers, "192.0.2.53");
  PutSettingsFile(install + "config\\settings.cfg", saved);
  PutFile(install + "config\\webserver.cfg", "[Filter]\r\n");
  form.ProgressBar->SetPosition(0);
  EXPECT_EQ(Run(), -1);
  EXPECT_TRUE(form.State.IsUpgrade);
  const std::vector<std::string> events = Events();
  const auto position = [&events](const std::string& event) {
    return std::find(events.begin(), events.end(), event) - events.begin();
  };
  EXPECT_LT(position("ChangeConfig TolvaIM 2"), position("Control TolvaSMTP 1"));
  EXPECT_LT(position("Start TolvaCalendar"), position("ChangeConfig TolvaIM 4"));
  EXPECT_EQ(events.back(), "Upgrade 7.7.2 " + install);
  EXPECT_EQ(machine.FindService("TolvaIM")->Config.StartType, platform::kServiceDisabled);
  EXPECT_EQ(GetSettingsFile(install + "config\\settings.cfg").DnsServers(), "192.0.2.53");
  EXPECT_NE(GetFile(install + "config\\webserver.cfg").find("wcs.dll"), std::string::npos);
  const std::vector<std::string> log = LogLines();
  EXPECT_EQ(log[log.size() - 3], "Running upgrade procedures 7.7.2 -> 9.1.5-7");
  EXPECT_EQ(form.ProgressBar->Position(), 12);

  // A main archive cut short, then a module archive cut short: each is found
  // before anything is stopped or written, and the run ends with the code
  // of a failure before the installation.
  const std::string logBefore = GetFile(form.State.LogsPath + "setup\\setup.log");
  const std::string whole = GetFile(Distribution() + "setup.dat");
  PutFile(Distribution() + "setup.dat", whole.substr(0, whole.size() / 2));
  backend.ClearBoxes();
  EXPECT_EQ(Run(), kExitFailedBeforeInstall);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text, "Extracting files error: data file error setup.dat");
  EXPECT_THAT(Events(), ElementsAre("Caption Extracting Files..."));
  EXPECT_EQ(GetFile(form.State.LogsPath + "setup\\setup.log"), logBefore);
  EXPECT_FALSE(platform::PathExists(form.State.ExtractPath));
  EXPECT_EQ(machine.FindService("TolvaSMTP")->State, platform::kServiceRunning);

  PutFile(Distribution() + "setup.dat", whole);
  const std::string antispam = GetFile(Distribution() + "setupas.dat");
  PutFile(Distribution() + "setupas.dat", antispam.substr(0, antispam.size() / 2));
  backend.ClearBoxes();
  EXPECT_EQ(Run(), kExitFailedBeforeInstall);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text, "Extracting files error: data file error setupas.dat");
  EXPECT_EQ(GetFile(form.State.LogsPath + "setup\\setup.log"), logBefore);
  EXPECT_EQ(machine.FindService("TolvaSMTP")->State, platform::kServiceRunning);
}

TEST_F(InstallationRun, AFailedUpgradePutsTheProgramFilesBackAndStartsTheServers) {
  EXPECT_EQ(Run(), -1);
  form.State.PreviousVersion = "9.1.5-7";
  form.State.RecordedInstallDir = install;
  // The next release, and a program file that cannot be replaced: the copy
  // fails after the first seven core files were, and the administrator
  // cancels.
  WriteDistribution("new ");
  platform::RemoveFile(install + "tool.exe");
  ForceFolders(install + "tool.exe\\");
  machine.FindService("TolvaIM")->Config.StartType = platform::kServiceDisabled;
  backend.AnswerBoxes({ui::TModalResult::Cancel});
  EXPECT_EQ(Run(), kExitFailedDuringInstall);
  // The disabled server was made automatic for the run and is disabled again.
  EXPECT_THAT(Events(), ::testing::Contains("ChangeConfig TolvaIM 2"));
  EXPECT_EQ(machine.FindService("TolvaIM")->Config.StartType, platform::kServiceDisabled);
  EXPECT_FALSE(registry.Value(platform::RegistryRoot::LocalMachine,
                              "Software\\Nivalis\\Tolva Mail Server", "SetupStartTypes"));
  for (const char* name : {"smtp.exe", "pop3.exe", "control.exe", "sendmail.exe"})
    EXPECT_EQ(GetFile(install + name), name) << name;
  EXPECT_TRUE(platform::ListFolder(install, "*.setup-old").empty());
  const std::vector<std::string> log = LogLines();
  EXPECT_EQ(log[log.size() - 3].rfind("Error: Setup aborted", 0), 0u) << log[log.size() - 3];
  EXPECT_EQ(log.back(), "Program files put back after the failed run: 5");
  // The servers the run stopped run again.
  const std::vector<std::string> events = Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "Start TolvaSMTP"), 1);
  for (const char* name : {"TolvaSMTP", "TolvaPOP3", "TolvaControl", "TolvaIM", "TolvaCalendar"})
    EXPECT_EQ(machine.FindService(name)->State, platform::kServiceRunning) << name;

  // A new installation that fails takes away the files it made.
  const std::string fresh = folder / "Fresh\\";
  form.PathEdit->SetText(fresh);
  form.State.PreviousVersion.clear();
  form.State.RecordedInstallDir.clear();
  form.State.LogsPath.clear();
  ForceFolders(fresh + "tool.exe\\");
  backend.AnswerBoxes({ui::TModalResult::Cancel});
  EXPECT_EQ(Run(), kExitFailedDuringInstall);
  EXPECT_FALSE(platform::PathExists(fresh + "smtp.exe"));
  EXPECT_FALSE(platform::PathExists(fresh + "config\\cert.pem"));
  EXPECT_TRUE(platform::PathExists(fresh + "logs\\setup\\setup.log"));
}

// A run ended by force (a kill) after it made the disabled server automatic
// and while it had program files kept aside: the next run gives the start
// type back and starts from the files as they were.
TEST_F(InstallationRun, TheRunAfterOneEndedByForceGivesBackWhatThatOneChanged) {
  EXPECT_EQ(Run(), -1);
  form.State.PreviousVersion = "9.1.5-7";
  form.State.RecordedInstallDir = install;
  const std::string product = "Software\\Nivalis\\Tolva Mail Server";
  registry.SetString(platform::RegistryRoot::LocalMachine, product, "SetupStartTypes", "2,2,2,4,2");
  machine.FindService("TolvaIM")->Config.StartType = platform::kServiceAutoStart;
  ASSERT_TRUE(platform::RenamePath(install + "smtp.exe", install + "smtp.exe.setup-old"));
  PutFile(install + "smtp.exe", "half written");
  PutFile(install + "spam\\rules\\local.cf", "my rules");
  ASSERT_TRUE(platform::RenamePath(install + "spam", install + "spam.setup-old"));
  // Its journal names what it kept; a kept copy it does not name is not
  // the run's to touch.
  PutFile(install + "setup-kept.txt", install + "smtp.exe\r\n" + install + "spam\r\n");
  PutFile(install + "doc\\notes.txt.setup-old", "the administrator's");
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(machine.FindService("TolvaIM")->Config.StartType, platform::kServiceDisabled);
  EXPECT_FALSE(registry.Value(platform::RegistryRoot::LocalMachine, product, "SetupStartTypes"));
  EXPECT_EQ(GetFile(install + "smtp.exe"), "smtp.exe");
  EXPECT_EQ(GetFile(install + "spam\\rules\\local.cf"), "my rules");
  EXPECT_FALSE(platform::PathExists(install + "smtp.exe.setup-old"));
  EXPECT_FALSE(platform::PathExists(install + "spam.setup-old"));
  EXPECT_FALSE(platform::PathExists(install + "setup-kept.txt"));
  EXPECT_EQ(GetFile(install + "doc\\notes.txt.setup-old"), "the administrator's");
  const std::vector<std::string> log = LogLines();
  EXPECT_THAT(log, ::testing::Contains("Start types kept by a run that was ended are given back"));
  EXPECT_THAT(log, ::testing::Contains("Program files put back from a run that was ended: 2"));

  // An upgrade that is not ended keeps nothing behind it.
  machine.FindService("TolvaIM")->Config.StartType = platform::kServiceDisabled;
  EXPECT_EQ(Run(), -1);
  EXPECT_EQ(machine.FindService("TolvaIM")->Config.StartType, platform::kServiceDisabled);
  EXPECT_FALSE(registry.Value(platform::RegistryRoot::LocalMachine, product, "SetupStartTypes"));
}

TEST_F(InstallationRun, AdministrationOnlyAndADamagedMainArchive) {
  // Only the administration interface: two steps and one archive.
  for (int id = 0; id < 16; ++id)
    if (id != 1) SetComponentState(*form.ComponentsList, id, kStateUnchecked);
  EXPECT_EQ(Run(), -1);
  EXPECT_THAT(Events(), ElementsAre("Caption Installing Files...", "Step 1/12", "Step 2/12",
                                    "Caption Installation Complete"));
  EXPECT_EQ(GetFile(install + "admin\\index.html"), "admin");
  EXPECT_FALSE(platform::PathExists(install + "smtp.exe"));
  const std::string extract = form.State.ExtractPath;
  EXPECT_THAT(LogLines(),
              ElementsAre("Started \"Nivalis Tolva Mail Server\" 9.1.5-7 \"" + install + "\"",
                          "Copying files...", "Extracted data deleted \"" + extract + "\"",
                          "Finished", ""));
}

}  // namespace
