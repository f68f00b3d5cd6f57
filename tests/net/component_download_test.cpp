// The download of missing component archives: the choice of archives, the
// remote list, progress and captions, and the aborts; with a scripted fetch,
// and once through the main window against a peer on loopback.
#include "app/component_download.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "components/component_state.h"
#include "components/component_tree.h"
#include "localization/message_table.h"
#include "platform/files.h"
#include "scripted_peer.h"
#include "startup_fixture.h"
#include "support/exit_codes.h"
#include "support/setup_log.h"

namespace {

constexpr const char* kAllArchives[] = {"setup.dat",         "setupphp.dat",    "setupconfig.dat",
                                        "setupwebmail2.dat", "setupas.dat",     "setupavast.dat",
                                        "setupldap.dat",     "setupwizard.dat", "setupaspell.dat"};

class ComponentDownloadTest : public StartupTest {
 protected:
  ComponentDownloadTest() {
    installer = Distribution();
    for (const char* name : kAllArchives)
      PutFile(installer + name, std::string("local ") + name);
    download.Tree = form.ComponentsList;
    download.SetupVersion = "9.1.5-7";
    download.ModuleDownloadUrl = &listUrl;
    download.InstallerFolder = installer;
    download.DownloadFolder = folder / "extract\\nested\\";
    download.ProgressBar = form.ProgressBar;
    download.PageCaption = form.PageCaption;
    download.StatusText = form.InstallPanelText;
    form.ProgressBar->SetRange(0, 100);
    form.ProgressBar->SetPosition(7);
    form.PageCaption->SetText("Installing");
    form.InstallPanelText->SetText("Status");
    download.Fetch = [this](const std::string& url, std::string& result) {
      fetched.push_back(url);
      barMax.push_back(form.ProgressBar->Max());
      captions.push_back(form.PageCaption->Text() + "|" + form.InstallPanelText->Text());
      auto found = served.find(url);
      if (found == served.end()) {
        result.clear();
        return false;
      }
      result = folder / ("fetch" + std::to_string(fetched.size()) + ".tmp");
      PutFile(result, found->second);
      return true;
    };
  }

  void Serve(const std::string& version, const std::string& urls = "http://dl/a/;http://dl/b/;") {
    served[listUrl.empty() ? kDefaultModuleDownloadUrl : listUrl] =
        "<?xml version=\"1.0\"?><modules><URL>" + urls + "</URL><VERSION>" + version +
        "</VERSION></modules>";
    for (const char* name : kAllArchives) {
      served["http://dl/a/" + std::string(name)] = std::string("remote ") + name;
      served["http://dl/b/" + std::string(name)] = std::string("other ") + name;
    }
  }

  std::optional<TDownloadAborted> Run() {
    try {
      result = DownloadMissingComponents(download);
    } catch (const TDownloadAborted& aborted) {
      return aborted;
    }
    return std::nullopt;
  }

  std::string installer;
  std::string listUrl = "http://list/server.xml";
  TComponentDownload download;
  std::map<std::string, std::string> served;
  std::vector<std::string> fetched;
  std::vector<int> barMax;
  std::vector<std::string> captions;
  TDownloadList result;
};

}  // namespace

TEST_F(ComponentDownloadTest, NothingMissingTouchesNothing) {
  Serve("9.1.5-7");
  EXPECT_FALSE(Run());
  EXPECT_TRUE(fetched.empty());
  EXPECT_EQ(form.ProgressBar->Max(), 100);
  EXPECT_EQ(form.ProgressBar->Position(), 7);
  EXPECT_EQ(form.PageCaption->Text(), "Installing");
  EXPECT_EQ(form.InstallPanelText->Text(), "Status");
  // Components without archives never cause a download.
  for (int id : {0, 1, 4, 5, 6, 9, 10, 11})
    SetComponentState(*form.ComponentsList, id, 1);
  platform::RemoveFile(installer + "setupconfig.dat");
  download.AdminOnly = false;
  EXPECT_FALSE(Run());
  EXPECT_TRUE(fetched.empty());
}

TEST_F(ComponentDownloadTest, AMissingArchiveIsFetchedIntoTheDownloadFolder) {
  platform::RemoveFile(installer + "setupas.dat");
  listUrl.clear();  // the default address is used and written back
  Serve("9.1.*");
  PutFile(download.DownloadFolder + "setupas.dat", "stale from an earlier run");
  download.PickIndex = [](size_t count) {
    EXPECT_EQ(count, 2u);  // never the last piece
    return count - 1;
  };
  ASSERT_FALSE(Run());
  EXPECT_EQ(listUrl, kDefaultModuleDownloadUrl);
  ASSERT_EQ(fetched,
            (std::vector<std::string>{kDefaultModuleDownloadUrl, "http://dl/b/setupas.dat"}));
  EXPECT_EQ(result, (TDownloadList{"setupas.dat"}));
  EXPECT_EQ(GetFile(download.DownloadFolder + "setupas.dat"), "other setupas.dat");
  EXPECT_EQ(DataArchivePath("setupas.dat", installer, download.DownloadFolder),
            download.DownloadFolder + "setupas.dat");
  EXPECT_EQ(DataArchivePath("setup.dat", installer, download.DownloadFolder),
            installer + "setup.dat");
  // The bar counts two steps per archive; the captions say what happens.
  EXPECT_EQ(barMax, (std::vector<int>{2, 2}));
  EXPECT_EQ(captions[1], "Downloading Files...|Downloading Files...");
  EXPECT_EQ(form.ProgressBar->Max(), 100);
  EXPECT_EQ(form.ProgressBar->Position(), 0);
  EXPECT_EQ(form.PageCaption->Text(), "Installing");
  EXPECT_EQ(form.InstallPanelText->Text(), "Status");
  EXPECT_TRUE(platform::PathExists(folder / "fetch1.tmp") == false);
  EXPECT_TRUE(platform::PathExists(folder / "fetch2.tmp") == false);
}

TEST_F(ComponentDownloadTest, WhichArchivesAreFetched) {
  Serve("9.1.5-7", "http://dl/a/");
  // A full installation never fetches the administration archive, and the
  // core archive shared by two steps is fetched once.
  for (const char* name : {"setupphp.dat", "setupconfig.dat", "setupldap.dat"})
    platform::RemoveFile(installer + name);
  ASSERT_FALSE(Run());
  EXPECT_EQ(result, (TDownloadList{"setupphp.dat", "setupldap.dat"}));
  EXPECT_EQ(fetched.size(), 3u);

  // Administration only: that archive alone, whatever else is selected.
  fetched.clear();
  download.AdminOnly = true;
  platform::RemoveFile(installer + "setupwizard.dat");
  ASSERT_FALSE(Run());
  EXPECT_EQ(result, (TDownloadList{"setupconfig.dat"}));
  EXPECT_EQ(fetched, (std::vector<std::string>{listUrl, "http://dl/a/setupconfig.dat"}));

  // The core archives come with every full installation.
  fetched.clear();
  download.AdminOnly = false;
  SetComponentState(*form.ComponentsList, 0, 1);
  platform::RemoveFile(installer + "setup.dat");
  ASSERT_FALSE(Run());
  EXPECT_EQ(result,
            (TDownloadList{"setupldap.dat", "setupwizard.dat", "setup.dat", "setupphp.dat"}));
}

TEST_F(ComponentDownloadTest, EachFailureAbortsWithItsMessage) {
  platform::RemoveFile(installer + "setupas.dat");
  platform::RemoveFile(installer + "setupavast.dat");
  const std::string listMessage =
      "Could not download file http://list/server.xml from the Internet.\r\nPlease, check your "
      "Internet connection and make sure the URL http://list/server.xml is working properly.";
  // No list at all; the box names the archives, the log line does not.
  std::optional<TDownloadAborted> aborted = Run();
  ASSERT_TRUE(aborted);
  EXPECT_EQ(aborted->LogText, listMessage);
  EXPECT_EQ(aborted->BoxText, listMessage + "\r\nsetupas.dat\r\nsetupavast.dat\r\n");

  // A list too large to be one is not read.
  served[listUrl] = "<m><URL>http://dl/a/</URL><VERSION>*</VERSION>" +
                    std::string(kMaxComponentListSize, ' ') + "</m>";
  aborted = Run();
  ASSERT_TRUE(aborted);
  EXPECT_EQ(aborted->LogText, listMessage);

  for (const char* version : {"9.1.4-2", ""}) {
    Serve(version);
    aborted = Run();
    ASSERT_TRUE(aborted);
    EXPECT_EQ(aborted->LogText,
              "The setup version 9.1.5-7 does not match the version " + std::string(version) +
                  " of the remote components on the server. Please, download the latest setup.");
    EXPECT_EQ(aborted->BoxText, aborted->LogText);
  }

  Serve("9.1.5-?", "http://dl/a/");
  served.erase("http://dl/a/setupavast.dat");
  aborted = Run();
  ASSERT_TRUE(aborted);
  EXPECT_EQ(aborted->LogText,
            "Could not download file setupavast.dat from the Internet.\r\nPlease, check your "
            "Internet connection and make sure the URL http://dl/a/ is working properly.");

  Serve("9.1.5-7", "http://dl/a/");
  platform::RemoveFile(download.DownloadFolder + "setupas.dat");
  ASSERT_TRUE(platform::MakeFolder(download.DownloadFolder + "setupas.dat"));
  PutFile(download.DownloadFolder + "setupas.dat\\inside", "x");
  aborted = Run();
  ASSERT_TRUE(aborted);
  EXPECT_EQ(aborted->LogText,
            "Could not move downloaded file setupas.dat. Please, check your directory rights.");
}

// Through the main window, against a peer on loopback: the archive arrives
// byte for byte; a missing one ends the program with the box and the log.
TEST_F(ComponentDownloadTest, TheMainWindowFetchesFromAServer) {
  test::ScriptedPeer peer([](test::Peer& connection) {
    std::string request = connection.ReadRequest();
    auto reply = [&](const std::string& body) {
      connection.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                      "\r\n\r\n" + body);
    };
    if (request.starts_with("GET /files/setupas.dat ")) {
      reply(std::string("remote\0archive", 14));
    } else {
      connection.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    }
  });
  const std::string base = peer.Url("/files/");
  // The list names the files' folder on the same server.
  test::ScriptedPeer listPeer([&](test::Peer& connection) {
    connection.ReadRequest();
    std::string body = "<list><URL>" + base + "</URL><VERSION>9.1.5-7</VERSION></list>";
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                    "\r\n\r\n" + body);
  });
  form.State.ModuleDownloadUrl = listPeer.Url("/list.xml");
  form.State.ExtractPath = folder / "extract\\";
  platform::RemoveFile(installer + "setupas.dat");
  DownloadMissingComponents(form);
  EXPECT_EQ(GetFile(DataArchivePath(form.State, "setupas.dat")),
            std::string("remote\0archive", 14));
  EXPECT_EQ(DataArchivePath(form.State, "setupas.dat"), folder / "extract\\setupas.dat");
  EXPECT_EQ(DataArchivePath(form.State, "setup.dat"), installer + "setup.dat");
  EXPECT_TRUE(backend.Boxes().empty());

  const std::string log = folder / "setup.log";
  ASSERT_TRUE(OpenLog(log, 0));
  platform::RemoveFile(installer + "setupldap.dat");
  std::optional<int> exitCode;
  try {
    DownloadMissingComponents(form);
  } catch (const TProgramEnded& ended) {
    exitCode = ended.ExitCode();
  }
  SetupLog().Active = false;
  EXPECT_EQ(exitCode, kExitFailedBeforeInstall);
  const std::string message =
      "Could not download file setupldap.dat from the Internet.\r\nPlease, "
      "check your Internet connection and make sure the URL " +
      base + " is working properly.";
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Caption, "Error");
  EXPECT_EQ(backend.Boxes()[0].Request.Text, message);
  EXPECT_NE(GetFile(log).find("Error: Setup aborted - " + message), std::string::npos)
      << GetFile(log);
}
