// The folder set: defaults, the path file, the server title file, the
// distribution information, and the local address and time zone.
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "config/info_prefix.h"
#include "config/local_address.h"
#include "config/path_file.h"
#include "config/server_folders.h"
#include "config/server_paths.h"
#include "config/server_title.h"
#include "config/settings_record.h"
#include "config/time_zone_text.h"
#include "config_state.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"
#include "support/xml_object.h"

namespace field = settings_field;

namespace {

class ServerPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetConfigStore();
    system.Program = temp / "setup.exe";
    ServerFolders().InstallPath = temp.Path();
  }
  void TearDown() override { ResetConfigStore(); }

  TempFolder temp;
  platform::FakeSystem system;
  platform::FakeShell shell;
};

}  // namespace

TEST_F(ServerPaths, DefaultsWithoutAPathFile) {
  InitServerPaths();
  const TServerFolders& folders = ServerFolders();
  EXPECT_EQ(folders.InstallPath, temp.Path());
  EXPECT_EQ(folders.ConfigPath, temp / "config\\");
  EXPECT_EQ(folders.WebPath, temp / "html\\");
  EXPECT_EQ(Settings().TempPath(), temp / "temp\\");
  EXPECT_EQ(Settings().MailPath(), temp / "mail\\");
  EXPECT_EQ(Settings().LogPath(), temp / "logs\\");
  EXPECT_EQ(AntispamFolder(), temp / "spam\\");
  EXPECT_EQ(GroupwareFolder(), temp / "calendar\\");
  EXPECT_TRUE(shell.Shares.empty());
}

TEST_F(ServerPaths, PathFileLines) {
  PutFile(temp / "path.dat",
          "\r\n"
          "W:\\web\r\n"
          "ignored line three\r\n"
          "  \\suffix  # after a blank and a hash: a comment\r\n"
          "\\\\srv\\a;user;pw | \\\\srv\\b | ;; |\r\n"
          "// only a comment: counts as a line\r\n"
          "G:\\groupware\\\n"
          "O:\\out\n"
          "R:\\retry\n"
          "192.0.2.1;192.0.2.2 | 198.51.100.9\n"
          "mx.example.org\n"
          "line twelve is not used\n"
          "I:\\in\n"
          "1\n"
          "X:\\line fifteen\n");
  InitServerPaths();
  const TServerFolders& folders = ServerFolders();
  const TPathFileValues& values = PathFileValues();
  EXPECT_EQ(folders.ConfigPath, temp / "config\\");  // line 1 empty: the default stays
  EXPECT_EQ(folders.WebPath, "W:\\web\\");
  EXPECT_EQ(values.ServiceLogSuffix, "\\suffix");
  ASSERT_EQ(shell.Shares.size(), 2u);
  EXPECT_EQ(shell.Shares[0].Remote, "\\\\srv\\a");
  EXPECT_EQ(shell.Shares[0].User, "user");
  EXPECT_EQ(shell.Shares[0].Password, "pw");
  EXPECT_EQ(shell.Shares[1].Remote, "\\\\srv\\b");
  EXPECT_EQ(shell.Shares[1].User, "");
  EXPECT_EQ(AntispamFolder(), temp / "spam\\");  // line 6 held only a comment
  EXPECT_EQ(GroupwareFolder(), "G:\\groupware\\");
  EXPECT_EQ(values.OutgoingQueue, "O:\\out\\");
  EXPECT_EQ(values.RetryQueue, "R:\\retry\\");
  EXPECT_EQ(values.BindAddresses, "192.0.2.1;192.0.2.2");
  EXPECT_EQ(values.OutgoingBindAddress, "198.51.100.9");
  EXPECT_EQ(values.HostName, "mx.example.org");
  EXPECT_EQ(values.IncomingQueue, "I:\\in\\");
  EXPECT_TRUE(values.Line14Switch);

  // Calling again starts from the defaults: a shorter file leaves no trace
  // of the longer one.
  PutFile(temp / "path.dat", "C:\\conf\n\n\n\n\n\n\n\n\n\n\n\n\n2\n");
  InitServerPaths();
  EXPECT_EQ(ServerFolders().ConfigPath, "C:\\conf\\");
  EXPECT_EQ(ServerFolders().WebPath, temp / "html\\");
  EXPECT_EQ(GroupwareFolder(), temp / "calendar\\");
  EXPECT_EQ(PathFileValues().HostName, "");
  EXPECT_FALSE(PathFileValues().Line14Switch);
}

TEST_F(ServerPaths, LongFolderLinesStillEndInADelimiter) {
  ApplyPathFile("\n" + std::string(300, 'w'));
  EXPECT_EQ(ServerFolders().WebPath, std::string(254, 'w') + "\\");
  ApplyPathFile(std::string(254, 'c') + "\\");
  EXPECT_EQ(ServerFolders().ConfigPath, std::string(254, 'c') + "\\");
}

TEST_F(ServerPaths, TheOldPathFileName) {
  // Only "path.cfg": renamed and read.
  PutFile(temp / "path.cfg", "\nV:\\old\n");
  InitServerPaths();
  EXPECT_EQ(ServerFolders().WebPath, "V:\\old\\");
  EXPECT_FALSE(platform::PathExists(temp / "path.cfg"));
  EXPECT_EQ(GetFile(temp / "path.dat"), "\nV:\\old\n");

  // Both: "path.dat" is read and "path.cfg" left alone.
  PutFile(temp / "path.cfg", "\nV:\\older\n");
  InitServerPaths();
  EXPECT_EQ(ServerFolders().WebPath, "V:\\old\\");
  EXPECT_EQ(GetFile(temp / "path.cfg"), "\nV:\\older\n");
}

TEST_F(ServerPaths, TheInstallFolderFromTheCommandLineOrTheProgram) {
  ServerFolders().InstallPath.clear();
  system.Args = {"/SILENT", "--installdir=D:\\Tolva"};
  InitServerPaths();
  EXPECT_EQ(ServerFolders().InstallPath, "D:\\Tolva\\");
  EXPECT_EQ(ServerFolders().ConfigPath, "D:\\Tolva\\config\\");

  // A folder set before wins over the switch.
  system.Args = {"/InstallDir=E:\\Other\\"};
  InitServerPaths();
  EXPECT_EQ(ServerFolders().InstallPath, "D:\\Tolva\\");

  ServerFolders().InstallPath.clear();
  system.Args = {};
  InitServerPaths();
  EXPECT_EQ(ServerFolders().InstallPath, temp.Path());

  // A switch without a value is no folder at all.
  ServerFolders().InstallPath.clear();
  system.Args = {"/InstallDir="};
  InitServerPaths();
  EXPECT_EQ(ServerFolders().InstallPath, temp.Path());
}

TEST_F(ServerPaths, ServerTitleFile) {
  ServerTitle().Title = "Earlier";
  PutFile(temp / "config\\servertitle.dat",
          "Tolva at Example\r\n"
          " key = value = with equals # comment\r\n"
          "no pair here\r\n"
          "=empty key\r\n"
          "last=\r\n");
  InitServerPaths();
  EXPECT_EQ(ServerTitle().Title, "Tolva at Example");
  using Pair = std::pair<std::string, std::string>;
  EXPECT_EQ(ServerTitle().Pairs,
            (std::vector<Pair>{{"key", "value = with equals"}, {"", "empty key"}, {"last", ""}}));

  // An empty first line keeps the title; the pairs are read again.
  PutFile(temp / "config\\servertitle.dat", "\nother=1");
  InitServerPaths();
  EXPECT_EQ(ServerTitle().Title, "Tolva at Example");
  EXPECT_EQ(ServerTitle().Pairs, (std::vector<Pair>{{"other", "1"}}));

  // Without the file nothing changes; a title is cut to 255 characters.
  platform::RemoveFile(temp / "config\\servertitle.dat");
  InitServerPaths();
  EXPECT_EQ(ServerTitle().Pairs.size(), 1u);
  ApplyServerTitleText(std::string(300, 't'));
  EXPECT_EQ(ServerTitle().Title, std::string(255, 't'));
  EXPECT_TRUE(ServerTitle().Pairs.empty());
}

TEST_F(ServerPaths, DistributionInformationPrefix) {
  PutFile(temp / "xml\\info.xml",
          "<?xml version=\"1.0\"?><INFO><LANGUAGE>en</LANGUAGE><PREFIX>Tolva &amp; Co</PREFIX>"
          "</INFO><SECOND><PREFIX>no</PREFIX></SECOND>");
  InitServerPaths();
  EXPECT_EQ(InfoPrefix(), "Tolva & Co");
  EXPECT_EQ(InfoDocument().Children.size(), 2u);

  // Without the file the document is gone and the prefix stays.
  platform::RemoveFile(temp / "xml\\info.xml");
  InitServerPaths();
  EXPECT_EQ(InfoPrefix(), "Tolva & Co");
  EXPECT_TRUE(InfoDocument().Children.empty());

  // A document without a top-level element keeps the prefix too.
  PutFile(temp / "xml\\info.xml", "just text");
  ReadInfoPrefix(temp / "xml\\info.xml");
  EXPECT_EQ(InfoPrefix(), "Tolva & Co");
  // One whose first element has no PREFIX empties it.
  PutFile(temp / "xml\\info.xml", "<INFO><LANGUAGE>de</LANGUAGE></INFO>");
  ReadInfoPrefix(temp / "xml\\info.xml");
  EXPECT_EQ(InfoPrefix(), "");
}

TEST_F(ServerPaths, TimeZoneText) {
  EXPECT_EQ(TimeZoneOffsetText(60), "+0100");
  EXPECT_EQ(TimeZoneOffsetText(0), "-0000");
  EXPECT_EQ(TimeZoneOffsetText(-300), "-0500");
  EXPECT_EQ(TimeZoneOffsetText(-570), "-0930");
  EXPECT_EQ(TimeZoneOffsetText(345), "+0545");
  EXPECT_EQ(TimeZoneOffsetText(840), "+1400");
  EXPECT_EQ(TimeZoneOffsetText(-2147483647 - 1).size(), 5u);
  system.UtcOffset = 330;
  InitServerPaths();
  EXPECT_EQ(LocalTimeZoneText(), "+0530");
}

TEST_F(ServerPaths, LocalServerAddress) {
  EXPECT_EQ(LocalServerAddress(), "localhost");
  Settings().SetText(field::BindAddresses, " 192.0.2.5 ;192.0.2.6");
  EXPECT_EQ(LocalServerAddress(), "192.0.2.5");
  Settings().SetText(field::BindAddresses, "192.0.2.7");
  EXPECT_EQ(LocalServerAddress(), "192.0.2.7");
  Settings().SetText(field::BindAddresses, " ;192.0.2.8");
  EXPECT_EQ(LocalServerAddress(), "localhost");
}
