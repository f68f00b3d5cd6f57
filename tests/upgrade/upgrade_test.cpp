// The version upgrade procedures against a recording of their requests, on
// an installation folder of files: the order of requests and broadcasts, the
// settings conversions, the folder moves, the web server entries, and a run
// ended after each step in turn.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "common/temp_folder.h"
#include "config/database_library.h"
#include "config/domain_table.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config/web_server_config.h"
#include "config_state.h"
#include "platform/dynamic_library.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"
#include "platform/native.h"
#include "support/fields.h"
#include "support/file_io.h"
#include "support/paths.h"
#include "support/setup_log.h"
#include "upgrade/upgrade_procedures.h"
#include "upgrade/upgrade_progress.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace field = settings_field;

namespace {

// The requests each step sends: server, wParam, value.
struct Request {
  int Server;
  uint32_t WParam;
  uint32_t Value;
};
const std::vector<std::vector<Request>> kStepRequests = {
    {{4, 0xF01, 0}, {0, 2, 0}},  // 1
    {{0, 3, 1}, {0, 4, 2}},
    {{0, 4, 3}, {0, 4, 4}},
    {{4, 0xF05, 5}},
    {{4, 0xF05, 6}},  // 5
    {{4, 0xF05, 8}},
    {{0, 2, 9}},
    {{0, 2, 10}},
    {{0, 4, 11}},
    {{4, 0xF05, 12}},  // 10
    {{4, 0xF05, 13}},
    {{4, 0xF05, 14}},
    {{0, 4, 15}},
    {},  // 14
    {{0, 4, 16}},
    {{0, 4, 18}},
    {{4, 0xF05, 19}},
    {},  // 18
    {{4, 0xF05, 20}},
    {{0, 2, 21}},  // 20
    {{0, 2, 22}},
    {},
    {},
    {},
    {},  // 25
    {},  // 26: the page
    {{4, 0xF05, 23}},
    {{4, 0xF05, 24}},
    {{4, 0xF05, 25}},
    {{4, 0xF05, 26}},  // 30
    {{0, 4, 27}},
    {{4, 0xF05, 28}},
    {},
};

// The page of step 26, on the first bind address; step 14 empties the list
// before, so that a run from below 8.3.16 asks localhost.
std::string Page(int first) {
  return std::string("http://") + (first <= 14 ? "localhost" : "192.0.2.7") +
         ":8080/admin/tools/convert_imap_rules.html";
}

std::string RequestLine(int server, uint32_t message, uint32_t wParam, uint32_t value) {
  return "notify " + std::to_string(server) + " " + std::to_string(message) + " " +
         std::to_string(wParam) + " " + std::to_string(value);
}

// What a run from a version that steps first..33 are above sends.
std::vector<std::string> Expected(int first, bool withBroadcasts = true) {
  std::vector<std::string> lines;
  for (int step = 1; step <= 33; ++step) {
    if (withBroadcasts) lines.push_back("all");
    if (step < first) continue;
    for (const Request& request : kStepRequests[static_cast<size_t>(step - 1)])
      lines.push_back(RequestLine(request.Server, 0x500, request.WParam, request.Value));
    if (step == 26) lines.push_back("fetch " + Page(first));
  }
  return lines;
}

// Records into a list, or appends each line to a file (so that a process
// that is ended keeps what it sent).
TUpgradeEffects Recorder(std::vector<std::string>& lines, const std::string& file = "") {
  auto add = [&lines, file](const std::string& line) {
    if (file.empty()) {
      lines.push_back(line);
      return;
    }
    if (std::FILE* out = std::fopen(platform::NativePath(file).c_str(), "ab")) {
      std::fputs((line + "\n").c_str(), out);
      std::fclose(out);
    }
  };
  TUpgradeEffects effects;
  effects.Notify = [add](int server, uint32_t message, uint32_t wParam, uint32_t value) {
    add(RequestLine(server, message, wParam, value));
  };
  effects.NotifyAll = [add] { add("all"); };
  effects.FetchPage = [add](const std::string& url) { add("fetch " + url); };
  return effects;
}

std::vector<std::string> WithoutBroadcasts(std::vector<std::string> lines) {
  std::erase(lines, "all");
  return lines;
}

const char* kWebServer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<WEB><OPTIONS><LOGFORMAT>date time</LOGFORMAT><KEEP>1</KEEP></OPTIONS>"
    "<HOST><NAME>main</NAME><EXTENSIONS><ITEM><EXT>.pl</EXT><MODULE>(cgi)perl.exe</MODULE>"
    "<TITLE>Perl &amp; co</TITLE></ITEM></EXTENSIONS></HOST>"
    "<HOST><NAME>second</NAME></HOST></WEB>\r\n";

class UpgradeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    ForgetWebServerConfig();
    system.Dns = {"", {"192.0.2.1"}};
    Prepare();
  }
  void TearDown() override {
    ResetConfigStore();
    ForgetWebServerConfig();
  }

  // An installation of an older version: settings with the values that the
  // conversions change, two domains, the folders that step 18 moves.
  void Prepare() {
    ResetConfigStore();
    DeleteFolderTree(temp / "config");
    DeleteFolderTree(temp / "mail");
    UseInstallFolder(temp.Path());
    SettingsRecord settings = BuiltInSettings();
    settings.SetText(field::MailPath, temp / "mail\\");
    settings.SetNumber(field::WebPort, 8080);
    settings.SetText(field::BindAddresses, "192.0.2.7;192.0.2.8");
    settings.SetNumber(field::BindSwitch, 0);
    settings.SetNumber(field::HourTimeValue, 5);
    settings.SetNumber(field::DayTimeValue, 3);
    settings.SetNumber(field::SizeValue, 0x00500001);  // wraps at 32 bits when shifted
    settings.SetNumber(field::DnsQuery, 9);
    settings.SetNumber(field::DnsSwitch, 7);
    settings.SetNumber(field::DomainCount, 2);
    PutSettingsFile(Config() + "settings.cfg", settings);
    DomainRecord a, b;
    a.SetName("a.test");
    b.SetName("b.test");
    PutFile(Config() + "domains.cfg", std::string(a.Bytes.begin(), a.Bytes.end()) +
                                          std::string(b.Bytes.begin(), b.Bytes.end()));
    PutFile(Config() + "webserver.dat", kWebServer);
    PutFile(Config() + "remotewatchdog\\w.txt", "w");
    PutFile(Config() + "certs\\c.pem", "c");
    PutFile(Config() + "_certs\\existing.pem", "e");  // the target exists: both stay
    PutFile(temp / "mail\\forward\\f.eml", "f");
    ResetConfigStore();
  }

  std::string Config() const { return temp / "config\\"; }
  SettingsRecord Stored() { return GetSettingsFile(Config() + "settings.cfg"); }

  std::vector<std::string> Run(const std::string& previous) {
    std::vector<std::string> lines;
    ResetConfigStore();
    ForgetWebServerConfig();
    EXPECT_TRUE(RunUpgradeProcedures(previous, temp.Path(), Recorder(lines)));
    return lines;
  }

  // What a run from "" leaves, whatever happened on the way.
  void ExpectConvertedOnce() {
    SettingsRecord stored = Stored();
    EXPECT_EQ(stored.Number(field::HourTimeValue), 5 * 60);
    EXPECT_EQ(stored.Number(field::DayTimeValue), 3 * 1440);
    EXPECT_EQ(stored.Number(field::SizeValue), static_cast<int32_t>(0x00500001u << 10));
    EXPECT_EQ(stored.BindAddresses(), "");
    EXPECT_EQ(stored.Number(field::DnsQuery), 3);
    EXPECT_EQ(stored.Number(field::DnsSwitch), 1);
    EXPECT_EQ(stored.Number(field::WebPort), 8080);
    EXPECT_TRUE(platform::PathExists(Config() + "_remotewatchdog\\w.txt"));
    EXPECT_FALSE(platform::PathExists(Config() + "remotewatchdog"));
    EXPECT_TRUE(platform::PathExists(Config() + "certs\\c.pem"));
    EXPECT_FALSE(platform::PathExists(Config() + "_certs\\c.pem"));
    EXPECT_TRUE(platform::PathExists(temp / "mail\\_outgoing\\f.eml"));
    EXPECT_FALSE(platform::PathExists(Config() + "upgrade.dat"));
    EXPECT_FALSE(platform::PathExists(Config() + "settings.cfg.new"));
    std::string web = GetFile(Config() + "webserver.dat");
    auto count = [&web](const std::string& text) {
      size_t n = 0;
      for (size_t at = web.find(text); at != std::string::npos; at = web.find(text, at + 1))
        ++n;
      return n;
    };
    EXPECT_EQ(count("<TITLE>[webdav]</TITLE>"), 1u) << web;
    EXPECT_EQ(count("<EXT>.php</EXT>"), 1u) << web;
    EXPECT_EQ(count("<TITLE>/webdav/</TITLE>"), 1u) << web;
  }

  TempFolder temp;
  platform::FakeSystem system;
};

}  // namespace

TEST_F(UpgradeTest, RequestsAndBroadcastsInOrderForEachPreviousVersion) {
  EXPECT_EQ(Run("9.1.5-7"), Expected(34));
  EXPECT_EQ(Run("8.5.3-7"), Expected(20));
  EXPECT_EQ(Stored().Number(field::HourTimeValue), 5 * 60);
  // Step 18 does not run for 8.5.3: the folders stay.
  Prepare();
  EXPECT_EQ(Run("8.5.3"), Expected(19));
  EXPECT_TRUE(platform::PathExists(Config() + "remotewatchdog\\w.txt"));
  EXPECT_FALSE(platform::PathExists(Config() + "_remotewatchdog"));
  // Step 14 does not run either: the bind list stays.
  EXPECT_EQ(Stored().BindAddresses(), "192.0.2.7;192.0.2.8");

  Prepare();
  std::vector<std::string> all = Run("");
  EXPECT_EQ(all, Expected(1));
  ExpectConvertedOnce();

  // With 25 domains the page is not asked for.
  Prepare();
  std::string table;
  for (int i = 0; i < 25; ++i) {
    DomainRecord record;
    record.SetName("d" + std::to_string(i) + ".test");
    table += std::string(record.Bytes.begin(), record.Bytes.end());
  }
  PutFile(Config() + "domains.cfg", table);
  SettingsRecord many = Stored();
  many.SetNumber(field::DomainCount, 25);
  PutSettingsFile(Config() + "settings.cfg", many);
  std::vector<std::string> lines = Run("8.9.0");
  std::vector<std::string> expected = Expected(26);
  std::erase(expected, "fetch " + Page(26));
  EXPECT_EQ(lines, expected);
}

TEST_F(UpgradeTest, WebServerEntriesAndAccountCounts) {
  UseInstallFolder(temp.Path());
  EXPECT_TRUE(AddWebServerEntries(0));
  EXPECT_FALSE(AddWebServerEntries(0));
  EXPECT_TRUE(AddWebServerEntries(1));
  EXPECT_FALSE(AddWebServerEntries(1));
  TXMLObject saved;
  ASSERT_TRUE(saved.LoadFromFile(Config() + "webserver.dat"));
  const TXMLObject* web = saved.FindChild("WEB");
  ASSERT_NE(web, nullptr);
  EXPECT_EQ(web->FindChild("OPTIONS")->ToText(false, false),
            "<OPTIONS><LOGFORMAT>date time</LOGFORMAT><KEEP>1</KEEP></OPTIONS>");
  std::vector<const TXMLObject*> hosts;
  for (const auto& child : web->Children)
    if (child->Name == "HOST") hosts.push_back(child.get());
  ASSERT_EQ(hosts.size(), 2u);
  EXPECT_EQ(hosts[0]->ToText(false, false),
            "<HOST><NAME>main</NAME><EXTENSIONS>"
            "<ITEM><EXT>.pl</EXT><MODULE>(cgi)perl.exe</MODULE><TITLE>Perl &amp; co</TITLE></ITEM>"
            "<ITEM><EXT/><MODULE>php\\php.dll</MODULE><TITLE>[webdav]</TITLE></ITEM>"
            "<ITEM><EXT>.php</EXT><MODULE>php\\php.dll</MODULE><TITLE/></ITEM>"
            "</EXTENSIONS><SPECIAL><ITEM><TITLE>/webdav/</TITLE><MODULE>[webdav]</MODULE>"
            "<SCRIPT>webdav\\index.html</SCRIPT></ITEM></SPECIAL></HOST>");
  EXPECT_EQ(hosts[1]->ToText(false, false), "<HOST><NAME>second</NAME></HOST>");
  EXPECT_FALSE(platform::PathExists(Config() + "webserver.dat.new"));

  // A file changed behind the cache is read again: its size differs.
  PutFile(Config() + "webserver.dat", "<WEB><HOST/></WEB>");
  EXPECT_TRUE(AddWebServerEntries(1));
  std::string rewritten = GetFile(Config() + "webserver.dat");
  EXPECT_NE(rewritten.find("<LOGFORMAT>fc-ip cs-username date time"), std::string::npos);
  EXPECT_NE(rewritten.find("<EXT>.php</EXT>"), std::string::npos);
  // Without "webserver.dat" nothing is made, and an older "webserver.cfg"
  // is left alone.
  platform::RemoveFile(Config() + "webserver.dat");
  PutFile(Config() + "webserver.cfg", "old");
  EXPECT_FALSE(AddWebServerEntries(0));
  EXPECT_FALSE(platform::PathExists(Config() + "webserver.dat"));
  EXPECT_EQ(GetFile(Config() + "webserver.cfg"), "old");

  // The handler tags.
  EXPECT_EQ(ModuleText(kIsapiHandler, "x\\a.DLL"), "x\\a.DLL");
  EXPECT_EQ(ModuleText(kIsapiHandler, "a.exe"), "(isapi)a.exe");
  EXPECT_EQ(ModuleText(kFastCgiHandler, "php.dll"), "(fastcgi)php.dll");
  int type = -1;
  std::string path;
  ParseModuleText("(SSI)x.shtml", type, path);
  EXPECT_EQ(type, kSsiHandler);
  EXPECT_EQ(path, "x.shtml");

  // Accounts: the records of each domain's file, cut records not counted.
  LoadSettings(false, false);
  PutFile(Config() + "a.test\\users.cfg", std::string(2848 * 3 + 100, 'x'));
  PutFile(Config() + "b.test\\users.cfg", std::string(2848, 'x'));
  PutFile(Config() + "other.test\\users.cfg", std::string(2848, 'x'));  // not in the table
  EXPECT_EQ(CountAccounts(""), 4);
  EXPECT_EQ(CountAccounts("A.Test"), 3);
  EXPECT_EQ(CountAccounts("other.test"), 0);
  Settings().SetText(field::BindAddresses, " fe80::1 ;x");
  EXPECT_EQ(ImapRulesAddress(), "http://[fe80::1]:8080/admin/tools/convert_imap_rules.html");
}

#ifndef _WIN32
// The process is ended after each step in turn (and, for the steps that
// save files, between the save and the record of it); the next run is told
// the new version, as the product key says by then, and still converts
// everything exactly once.
TEST_F(UpgradeTest, EndedAfterAnyStepTheNextRunGoesOnWhereItStopped) {
  struct Stop {
    int Step;
    bool Recorded;
  };
  std::vector<Stop> stops;
  for (int step = 1; step <= 33; ++step)
    stops.push_back({step, true});
  for (int step : {14, 18, 22, 23, 24, 25})
    stops.push_back({step, false});
  for (const Stop& stop : stops) {
    SCOPED_TRACE("ended at step " + std::to_string(stop.Step) +
                 (stop.Recorded ? " after its record" : " before its record"));
    Prepare();
    const std::string log = temp / "requests.log";
    platform::RemoveFile(log);
    ASSERT_TRUE(RecordUpgradeStart("", temp.Path()));
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      std::vector<std::string> unused;
      TUpgradeEffects effects = Recorder(unused, log);
      effects.StepPoint = [stop](int step, bool recorded) {
        if (step == stop.Step && recorded == stop.Recorded) _exit(42);
      };
      RunUpgradeProcedures("", temp.Path(), effects);
      _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42);
    std::vector<std::string> sent;
    SplitString(GetFile(log), '\n', sent, true);
    std::vector<std::string> rest = Run("9.1.5-7");
    sent.insert(sent.end(), rest.begin(), rest.end());
    EXPECT_EQ(WithoutBroadcasts(sent), Expected(1, false));
    ExpectConvertedOnce();
  }
}
#endif

TEST_F(UpgradeTest, ProgressRecordsAndAStartRecordedBeforeTheVersion) {
  TUpgradeProgress progress;
  progress.From = "8.5.3";
  progress.Done = 22;
  progress.Pending = 23;
  progress.Expected = {{&field::HourTimeValue, 300}, {&field::DayTimeValue, -4}};
  std::string text = UpgradeProgressText(progress);
  EXPECT_EQ(text,
            "from=8.5.3\r\ndone=22\r\npending=23\r\nexpect=HourTimeValue:300\r\n"
            "expect=DayTimeValue:-4\r\n");
  auto parsed = ParseUpgradeProgress(text, 33);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(UpgradeProgressText(*parsed), text);
  for (const char* bad : {"done=1\n", "from=x\n", "from=x\ndone=34\n", "from=x\ndone=-1\n",
                          "from=x\ndone=1\nexpect=HostName:1\n", "from=x\ndone=1\nmore=1\n",
                          "from=x\ndone=1\nexpect=DayTimeValue:99999999999\n", "from=x\ndone=1x\n"})
    EXPECT_FALSE(ParseUpgradeProgress(bad, 33)) << bad;

  // An upgrade from 8.5.3-7 recorded, then ended before the procedures: the
  // run told the new version still converts.
  ASSERT_TRUE(RecordUpgradeStart("8.5.3-7", temp.Path()));
  ASSERT_TRUE(RecordUpgradeStart("9.1.5-7", temp.Path()));  // the older record stays
  EXPECT_EQ(Run("9.1.5-7"), Expected(20));
  EXPECT_EQ(Stored().Number(field::HourTimeValue), 300);
  EXPECT_FALSE(platform::PathExists(Config() + "upgrade.dat"));
  EXPECT_EQ(Run("9.1.5-7"), Expected(34));
  EXPECT_EQ(Stored().Number(field::HourTimeValue), 300);
}

// A conversion whose settings cannot be replaced is not recorded as done:
// the run stops there, and the next one makes it from the file on disk. A
// progress record that cannot be read is said in the setup log.
TEST_F(UpgradeTest, ASaveThatFailsLeavesItsStepForTheNextRun) {
  Prepare();
  const SettingsRecord before = Stored();
  ASSERT_TRUE(platform::MakeFolder(Config() + "settings.cfg.new"));
  OpenLog(temp / "setup.log", 0);
  std::vector<std::string> first = Run("");
  EXPECT_EQ(Stored().Bytes, before.Bytes);
  auto progress = ReadUpgradeProgress(Config(), 33);
  ASSERT_TRUE(progress);
  EXPECT_EQ(progress->Done, 13);
  EXPECT_NE(GetFile(temp / "setup.log")
                .find("Upgrade: step 14 could not save the settings in " + Config() +
                      "; the next run goes on from it\r\n"),
            std::string::npos);
  ASSERT_TRUE(platform::RemoveFolder(Config() + "settings.cfg.new"));
  EXPECT_EQ(GetFile(temp / "setup.log").find("going on"), std::string::npos);
  std::vector<std::string> rest = Run("9.1.5-7");
  EXPECT_NE(GetFile(temp / "setup.log").find("Upgrade: going on from version \"\" at step 14\r\n"),
            std::string::npos);
  first.insert(first.end(), rest.begin(), rest.end());
  EXPECT_EQ(WithoutBroadcasts(first), Expected(1, false));
  ExpectConvertedOnce();

  PutFile(Config() + "upgrade.dat", "from=8.5.3\r\ndone=forty\r\n");
  EXPECT_EQ(Run("9.1.5-7"), Expected(34));
  EXPECT_NE(GetFile(temp / "setup.log")
                .find("Upgrade: the progress record " + Config() +
                      "upgrade.dat cannot be read; the steps run from version \"9.1.5-7\""),
            std::string::npos);
  EXPECT_FALSE(platform::PathExists(Config() + "upgrade.dat"));
  SetupLog().Active = false;
}

TEST_F(UpgradeTest, DatabaseStorageCountsThroughTheLibrary) {
  std::string standIn = ExtractFilePath(platform::NativeSystem().ProgramPath()) + "standin\\db.dll";
  ASSERT_TRUE(CopyFileTo(standIn, temp / "db.dll", false));
  SettingsRecord settings = Stored();
  settings.SetNumber(field::StorageMode, kDatabaseStorageMode);
  settings.SetText(field::AccountDatabase, "data;user;;host;3;2");
  PutSettingsFile(Config() + "settings.cfg", settings);
  PutFile(temp / "data\\domains.txt", "a.test\r\nb.test\r\n");
  PutFile(temp / "data\\a.test\\users.dat", std::string(2848 * 1999, 'x'));
  // The files of the configuration folder do not count in this mode.
  PutFile(Config() + "a.test\\users.cfg", std::string(2848 * 5, 'x'));

  // 1999 accounts: the page is asked for.
  std::vector<std::string> lines = Run("8.9.0");
  EXPECT_EQ(lines, Expected(26));
  EXPECT_FALSE(DatabaseLibraryLoaded());  // released after the step
  EXPECT_EQ(CountAccounts("A.TEST"), 1999);
  EXPECT_EQ(CountAccounts("b.test"), 0);

  // With the library loaded, each refresh closes its connection.
  auto callLog = [] {
    platform::DynamicLibrary library(DatabaseLibraryPath());
    auto read = library.SymbolAs<int32_t (*)(char*, int32_t)>("StandInCallLog");
    std::string text(static_cast<size_t>(read(nullptr, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(read(text.data(), static_cast<int32_t>(text.size()))));
    return text;
  };
  ASSERT_TRUE(DatabaseLibraryLoaded());
  std::string before = callLog();
  std::vector<std::string> refreshes;
  RefreshServices(Recorder(refreshes));
  EXPECT_EQ(refreshes, std::vector<std::string>{"all"});
  EXPECT_EQ(callLog().substr(before.size()), "DBDoneConnection\n");

  // 2000 accounts: not.
  PutFile(temp / "data\\b.test\\users.dat", std::string(2848, 'x'));
  lines = Run("8.9.0");
  std::vector<std::string> expected = Expected(26);
  std::erase(expected, "fetch " + Page(26));
  EXPECT_EQ(lines, expected);
}
