// The services across an installation run, on a fake machine: which calls
// reach the service control manager in which order, what is created, what
// is shown, and how long the installer waits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_servers.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "support/paths.h"
#include "support/text.h"
#include "system/server_control.h"
#include "system/service_operations.h"
#include "ui/headless/headless_backend.h"

using namespace platform;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const char* const kNames[] = {"TolvaSMTP", "TolvaPOP3", "TolvaControl", "TolvaIM", "TolvaCalendar"};
const char* const kExes[] = {"smtp.exe", "pop3.exe", "control.exe", "im.exe", "cal.exe"};

class ServerControlTest : public ::testing::Test {
 protected:
  ServerControlTest() { settings.InstallPath = folder.Path(); }

  void AddInstalledServices(uint32_t state) {
    for (int i = 0; i < 5; ++i)
      machine.AddService(kNames[i], "\"" + folder.Path() + kExes[i] + "\"", state);
  }
  std::vector<std::string> Captions() const { return captions; }
  uint64_t SleptMs() const {
    uint64_t total = 0;
    for (uint32_t ms : clock.Sleeps())
      total += ms;
    return total;
  }

  TempFolder folder;
  FakeClock clock;
  FakeSystem system;
  FakeRegistry registry;
  FakeServers machine;
  ui::THeadlessBackend backend;
  TServerSettings settings;
  std::vector<std::string> captions;
  TServerControl control{settings, [this](const std::string& text) { captions.push_back(text); }};
};

TEST_F(ServerControlTest, FreshInstallationCreatesStartsAndDescribesEveryService) {
  EXPECT_TRUE(control.StopRunningServers());
  EXPECT_TRUE(control.StopRunningServers());
  EXPECT_THAT(clock.Sleeps(), ElementsAre(1500, 1500));
  EXPECT_TRUE(machine.JournalWith("Control").empty());
  for (bool needed : control.NeedsRegistration)
    EXPECT_TRUE(needed);

  machine.Journal.clear();
  control.InstallServers();
  std::vector<std::string> creates, starts;
  for (int i = 0; i < 5; ++i) {
    creates.push_back("Create " + std::string(kNames[i]) + " \"" + folder.Path() + kExes[i] + "\"");
    starts.push_back("Start " + std::string(kNames[i]));
    const FakeServers::Service* service = machine.FindService(kNames[i]);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->State, kServiceRunning);
    EXPECT_EQ(service->Config.StartType, kServiceAutoStart);
    ASSERT_TRUE(service->HasFailureActions);
    EXPECT_EQ(service->FailureActions.ResetPeriodSeconds, 0u);
    ASSERT_EQ(service->FailureActions.Actions.size(), 1u);
    EXPECT_EQ(service->FailureActions.Actions[0].Type, kScActionRestart);
    EXPECT_EQ(service->FailureActions.Actions[0].DelayMs, 0u);
  }
  EXPECT_EQ(machine.FindService("TolvaPOP3")->Config.DisplayName, "Nivalis POP3 / IMAP");
  EXPECT_EQ(registry.Value(RegistryRoot::LocalMachine,
                           "System\\CurrentControlSet\\Services\\TolvaControl", "Description"),
            (RegistryValue{RegistryValueType::String,
                           RegistryBytes(std::begin("Provides support for remote administration, "
                                                    "web and ftp services."),
                                         std::end("Provides support for remote administration, "
                                                  "web and ftp services."))}));
  EXPECT_EQ(machine.JournalWith("Create"), creates);
  EXPECT_EQ(machine.JournalWith("Start"), starts);
  EXPECT_THAT(machine.JournalWith("CallEntry"),
              ElementsAre("CallEntry " + folder.Path() + "api.dll DllRegisterServer",
                          "CallEntry " + folder.Path() + "nivaliscom.dll DllRegisterServer"));
  EXPECT_THAT(captions, ElementsAre("Checking For Running Services...",
                                    "Checking For Running Services...", "Installing Services...",
                                    "Starting Services...", "Finishing Installation..."));
  control.CheckServersStarted();
  EXPECT_TRUE(backend.Boxes().empty());
  EXPECT_EQ(machine.OpenHandleCount(), 0);
}

TEST_F(ServerControlTest, ExcludedServersAreNeitherCreatedNorStartedNorExpected) {
  settings.NoInstallIM = true;
  control.StopRunningServers();
  control.InstallServers();
  EXPECT_EQ(machine.JournalWith("Create").size(), 4u);
  EXPECT_EQ(machine.FindService("TolvaIM"), nullptr);
  settings.NoInstallCalendar = true;
  machine.Journal.clear();
  control.StopRunningServers();
  // The stopped GroupWare service of an excluded component goes.
  EXPECT_EQ(machine.FindService("TolvaCalendar"), nullptr);
  control.InstallServers();
  EXPECT_TRUE(machine.JournalWith("Create").empty());
  EXPECT_THAT(machine.JournalWith("Start"),
              ElementsAre("Start TolvaSMTP", "Start TolvaPOP3", "Start TolvaControl"));
  control.CheckServersStarted();
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(ServerControlTest, SecondPassStopsInOrderAndCreatesNothing) {
  AddInstalledServices(kServiceRunning);
  settings.RecordedInstallDir = LowerCase(WithPathDelimiter(folder.Path(), false, false));
  EXPECT_TRUE(control.StopRunningServers());
  EXPECT_THAT(machine.JournalWith("Control"),
              ElementsAre("Control TolvaControl 1", "Control TolvaSMTP 1", "Control TolvaPOP3 1",
                          "Control TolvaIM 1", "Control TolvaCalendar 1"));
  for (bool needed : control.NeedsRegistration)
    EXPECT_FALSE(needed);
  // The same folder written differently keeps the services.
  EXPECT_TRUE(machine.JournalWith("Delete").empty());
  EXPECT_FALSE(settings.RecordedInstallDir.empty());
  machine.Journal.clear();
  control.InstallServers();
  EXPECT_TRUE(machine.JournalWith("Create").empty());
  EXPECT_EQ(machine.JournalWith("Start").size(), 5u);
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(ServerControlTest, AnotherFolderRecreatesServicesWithTheNewPath) {
  AddInstalledServices(kServiceStopped);
  settings.RecordedInstallDir = "C:\\Old Tolva\\";
  control.StopRunningServers();
  EXPECT_EQ(machine.JournalWith("Delete").size(), 5u);
  EXPECT_TRUE(settings.RecordedInstallDir.empty());
  for (bool needed : control.NeedsRegistration)
    EXPECT_TRUE(needed);
  control.InstallServers();
  EXPECT_EQ(machine.FindService("TolvaSMTP")->Config.BinaryPath,
            "\"" + folder.Path() + "smtp.exe\"");
}

TEST_F(ServerControlTest, GroupWareOfVersionsBefore817IsRecreated) {
  for (const char* previous : {"8.1.6-3", "", "8.1.7", "9.0.0-1"}) {
    SCOPED_TRACE(previous);
    FakeServers fresh;
    fresh.AddService("TolvaCalendar", "x", kServiceStopped);
    PutFile(folder / "calendar.exe", "old");
    settings.PreviousVersion = previous;
    control.StopRunningServers();
    const bool older = std::string(previous) == "8.1.6-3";
    EXPECT_EQ(fresh.FindService("TolvaCalendar") == nullptr, older);
    EXPECT_EQ(FileExists(folder / "calendar.exe"), !older);
    EXPECT_EQ(control.NeedsRegistration[4], older);
  }
}

TEST_F(ServerControlTest, AServiceThatIgnoresStopIsKilledByItsOwnProcessOnly) {
  AddInstalledServices(kServiceRunning);
  FakeServers::Service* service = machine.FindService("TolvaControl");
  service->IgnoresStop = true;
  const uint32_t servicePid = service->ProcessId;
  const uint32_t systemControl = machine.AddProcess("C:\\Windows\\system32\\control.exe");
  const uint32_t ownProgram = machine.AddProcess(folder.Path() + "CONTROL.EXE");
  machine.Journal.clear();

  EXPECT_FALSE(ControlServer(2, false, "", folder.Path()));
  // Polls of 10 ms up to the 10 s deadline, then 2 s after the kill.
  ASSERT_GE(clock.Sleeps().size(), 2u);
  EXPECT_EQ(clock.Sleeps().back(), 2000u);
  EXPECT_EQ(SleptMs(), 10000u + 2000u);
  for (size_t i = 0; i + 1 < clock.Sleeps().size(); ++i)
    EXPECT_EQ(clock.Sleeps()[i], 10u);
  EXPECT_FALSE(machine.ProcessRunning(servicePid));
  EXPECT_FALSE(machine.ProcessRunning(ownProgram));
  EXPECT_TRUE(machine.ProcessRunning(systemControl));
  EXPECT_EQ(machine.FindService("TolvaControl")->State, kServiceStopped);
  EXPECT_EQ(machine.OpenHandleCount(), 0);
}

TEST_F(ServerControlTest, SystemSmtpServiceIsStoppedDisabledAndReplaced) {
  AddInstalledServices(kServiceRunning);
  ASSERT_EQ(machine.Terminate(machine.FindService("TolvaSMTP")->ProcessId, 1), 0u);
  FakeServers::Service& iis = machine.AddService("SMTPSVC", "C:\\iis\\smtp.exe", kServiceRunning);
  iis.IgnoresStop = true;
  const uint32_t ourSmtp = machine.AddProcess(folder.Path() + "smtp.exe");
  machine.Journal.clear();

  control.CheckServersStarted();
  EXPECT_THAT(machine.JournalWith("Control"), ElementsAre("Control SMTPSVC 1"));
  EXPECT_THAT(machine.JournalWith("ChangeConfig"), ElementsAre("ChangeConfig SMTPSVC 4"));
  EXPECT_THAT(machine.JournalWith("Start"), ElementsAre("Start TolvaSMTP"));
  EXPECT_EQ(machine.FindService("TolvaSMTP")->State, kServiceRunning);
  EXPECT_EQ(machine.FindService("SMTPSVC")->Config.StartType, kServiceDisabled);
  // Killing the other maker's service never touches our program.
  EXPECT_TRUE(machine.ProcessRunning(ourSmtp));
  EXPECT_EQ(clock.Sleeps().back(), 1500u);
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(ServerControlTest, DisabledServerStaysDisabledAcrossAnUpgrade) {
  AddInstalledServices(kServiceStopped);
  machine.FindService("TolvaPOP3")->Config.StartType = kServiceDisabled;
  control.RecordStartTypes();
  EXPECT_EQ(control.RecordedStartType[1], 4);
  EXPECT_EQ(control.RecordedStartType[0], 2);
  EXPECT_EQ(machine.FindService("TolvaPOP3")->Config.StartType, kServiceAutoStart);
  control.StopRunningServers();
  control.InstallServers();
  EXPECT_EQ(machine.FindService("TolvaPOP3")->State, kServiceStopped);
  control.CheckServersStarted();
  EXPECT_TRUE(backend.Boxes().empty());
  control.RestoreStartTypes();
  EXPECT_EQ(machine.FindService("TolvaPOP3")->Config.StartType, kServiceDisabled);
  EXPECT_EQ(machine.FindService("TolvaSMTP")->Config.StartType, kServiceAutoStart);

  // Without an upgrade nothing was recorded and nothing changes back.
  TServerControl fresh(settings);
  machine.Journal.clear();
  fresh.RestoreStartTypes();
  EXPECT_TRUE(machine.JournalWith("ChangeConfig").empty());
}

TEST_F(ServerControlTest, FailuresAreReportedOnceWithTheSystemError) {
  control.StopRunningServers();
  control.InstallServers();
  // A server that does not come up is named once in one warning.
  machine.FindService("TolvaPOP3")->FailsToStart = true;
  machine.Terminate(machine.FindService("TolvaPOP3")->ProcessId, 1);
  control.CheckServersStarted();
  ASSERT_EQ(backend.Boxes().size(), 1u);
  const std::string text = backend.Boxes()[0].Request.Text;
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Warning");
  EXPECT_EQ(text.find("Nivalis POP3 / IMAP\r\n"), text.rfind("Nivalis POP3 / IMAP"));
  EXPECT_THAT(text, HasSubstr("could not be started:\r\nNivalis POP3 / IMAP\r\n\r\n"));
  EXPECT_EQ(text.find("Nivalis SMTP"), std::string::npos);

  // Creating a service that exists: the box right away, nothing else done.
  backend.ClearBoxes();
  machine.Journal.clear();
  RegisterServerService(0, folder.Path());
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_THAT(backend.Boxes()[0].Request.Text, HasSubstr("Service error: "));
  EXPECT_TRUE(machine.JournalWith("SetFailureActions").empty());

  // The manager cannot be opened: one box, nothing started.
  backend.ClearBoxes();
  machine.InjectFailure("OpenManager", "", kErrorAccessDenied);
  EXPECT_FALSE(ControlServer(0, true, "", folder.Path()));
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(machine.OpenHandleCount(), 0);
}

TEST_F(ServerControlTest, ApplicationModeStartsProgramsAndClosesWindows) {
  system.Id = PlatformId::Windows;
  int closed = 0;
  machine.AddWindow("TControlForm", "Control",
                    {[&](uint32_t message, uintptr_t, intptr_t) {
                       if (message == kWmClose) ++closed;
                       return intptr_t{0};
                     },
                     true});
  FakeShell shell;
  EXPECT_TRUE(control.StopRunningServers());  // the window closed on request
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(control.StopRunningServers());
  EXPECT_TRUE(machine.JournalWith("Open").empty());
  EXPECT_TRUE(machine.JournalWith("OpenManager").empty());
  PutFile(folder / "smtp.exe", "MZ");
  control.InstallServers();
  EXPECT_TRUE(machine.JournalWith("Create").empty());
  EXPECT_EQ(machine.JournalWith("CallEntry").size(), 2u);
  // Only the program that exists is launched, from its own folder.
  ASSERT_EQ(shell.Opened.size(), 1u);
  EXPECT_EQ(shell.Opened[0].File, folder.Path() + "smtp.exe");
  EXPECT_EQ(shell.Opened[0].Folder, folder.Path());
  EXPECT_EQ(shell.Opened[0].ShowCommand, 5);
}

}  // namespace
