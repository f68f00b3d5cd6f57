#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "localization/message_table.h"

namespace {

// The keys in table order, as the language file lists them.
const std::vector<std::string> kKeys = {"cName",
                                        "cOldName",
                                        "cDoYouExit",
                                        "cDoYouExitTitle",
                                        "UninstallDesc",
                                        "cTolvaWebmail",
                                        "cTolvaWebmail2",
                                        "cTolvaWebAdmin",
                                        "LinkDesc",
                                        "TolvaSMTPLinkDesc",
                                        "TolvaPOP3LinkDesc",
                                        "TolvaControlLinkDesc",
                                        "TolvaIMLinkDesc",
                                        "TolvaGWLinkDesc",
                                        "ServerDesktopTitle",
                                        "cSetup",
                                        "cInstallQ",
                                        "cInstallLicenseQ",
                                        "cDownloadingFiles",
                                        "cUnInstallQ",
                                        "cComplete",
                                        "cCompleteRemove",
                                        "cInternet",
                                        "cNotRunning",
                                        "cTutorialCaption",
                                        "cInformation",
                                        "cError",
                                        "cErrorDir",
                                        "cErrorFile",
                                        "cErrorDataFile",
                                        "cServiceError",
                                        "cRegistryError",
                                        "cErrorText",
                                        "cQuestion",
                                        "cNewerVersion",
                                        "cExtractingFiles",
                                        "cInstalling",
                                        "cStarting",
                                        "cFinishing",
                                        "cUnInstalling",
                                        "cStopping",
                                        "cChecking",
                                        "cFinished",
                                        "cInstallFiles",
                                        "cInstallingAV",
                                        "cCreatingIcons",
                                        "cInstallingWeb",
                                        "cYes",
                                        "cNo",
                                        "cBack",
                                        "cNext",
                                        "cCancel",
                                        "cInstallC",
                                        "cPSetup",
                                        "cFinish",
                                        "cSLA",
                                        "cCredentials",
                                        "cStartCopyingFiles",
                                        "cInstallingFiles",
                                        "cUpdateSetup",
                                        "cSetupType",
                                        "cComponentSetup",
                                        "cSetupFinished",
                                        "DemoMsgSubject",
                                        "DemoMsg",
                                        "cDownloadError",
                                        "cDownloadErrorMove",
                                        "cDownloadErrorVersion",
                                        "WPrimaryDomain",
                                        "WHostName",
                                        "WAdministrator",
                                        "WWizardComplete"};

}  // namespace

TEST(MessageTable, KeysFollowTheTableOrder) {
  ASSERT_EQ(kMessageKeyCount, 72u);
  ASSERT_EQ(kKeys.size(), kMessageKeyCount);
  for (size_t i = 0; i < kMessageKeyCount; ++i)
    EXPECT_EQ(MessageKey(static_cast<TMessage>(i)), kKeys[i]) << i;
  EXPECT_STREQ(MessageKey(TMessage::cDBTestSuccessful), "");

  // The enumerators name the rows they index.
#define EXPECT_KEY(key) EXPECT_STREQ(MessageKey(TMessage::key), #key)
  EXPECT_KEY(cName);
  EXPECT_KEY(LinkDesc);
  EXPECT_KEY(cNotRunning);
  EXPECT_KEY(cErrorText);
  EXPECT_KEY(cYes);
  EXPECT_KEY(cBack);
  EXPECT_KEY(cPSetup);
  EXPECT_KEY(DemoMsg);
  EXPECT_KEY(cDownloadErrorVersion);
  EXPECT_KEY(WWizardComplete);
#undef EXPECT_KEY
  EXPECT_THROW(Message(static_cast<TMessage>(kMessageCount)), std::out_of_range);
}

TEST(MessageTable, HoldsTheEnglishTextsAndChangesInPlace) {
  ResetMessageTable();
  EXPECT_EQ(Message(TMessage::cName), "Nivalis Tolva Mail Server");
  EXPECT_EQ(Message(TMessage::LinkDesc),
            "Administration\r\nReadme\r\nHelp\r\nDNS Query Tool\r\nQuick Start\r\nVevErod Oro "
            "Guide");
  EXPECT_EQ(Message(TMessage::cErrorDir), "Directory could not be created: ");
  EXPECT_EQ(Message(TMessage::cErrorText).substr(0, 4), "\r\nTh");
  EXPECT_EQ(Message(TMessage::cErrorFile),
            "An error occured while copying file '%s'.\r\n%s\r\nDo you want to retry or cancel "
            "the installation?");
  EXPECT_EQ(Message(TMessage::cNotRunning),
            "The following service(s) could not be started:\r\n%s\r\nThere must be already "
            "running some other service(s) on the same TCP/IP port(s). Please, make sure no "
            "other SMTP or POP3 servers are running (including MS SMTP and Norton POP3).");
  EXPECT_EQ(Message(TMessage::cBack), "< &Back");
  EXPECT_EQ(Message(TMessage::cPSetup), "%s %s Setup");
  EXPECT_EQ(Message(TMessage::DemoMsgSubject), Message(TMessage::DemoMsg));
  EXPECT_EQ(Message(TMessage::WWizardComplete), "Wizard Complete");
  EXPECT_EQ(Message(TMessage::cDBTestSuccessful), "Database connection test successful.");

  // References see every later change.
  std::string& back = Message(TMessage::cBack);
  back =
      "< &Zur\xfc"
      "ck";
  EXPECT_EQ(Message(TMessage::cBack),
            "< &Zur\xfc"
            "ck");
  EXPECT_STREQ(MessageDefault(TMessage::cBack), "< &Back");
  ResetMessageTable();
  EXPECT_EQ(back, "< &Back");
}

TEST(MessageTable, FixedFileNamesByPosition) {
  const std::vector<std::string> expected = {"smtp.exe",
                                             "pop3.exe",
                                             "control.exe",
                                             "config.exe",
                                             "dnsquery.exe",
                                             "tool.exe",
                                             "sendmail.exe",
                                             "api.dll",
                                             "libeay32.dll",
                                             "libssl32.dll",
                                             "db.dll",
                                             "regex.dll",
                                             "sqlite3.dll",
                                             "libiconv.dll",
                                             "config.exe",
                                             "doc\\readme.txt",
                                             "doc\\manual.chm",
                                             "dnsquery.exe",
                                             "doc\\quickstart.pdf",
                                             "doc\\webmailguide.pdf"};
  ASSERT_EQ(kFixedFileNameCount, expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(FixedFileName(i), expected[i]) << i;
  EXPECT_EQ(ProgramFileName(13), "libiconv.dll");
  EXPECT_EQ(ShortcutTargetName(0), "config.exe");
  EXPECT_EQ(ShortcutTargetName(5), "doc\\webmailguide.pdf");
  EXPECT_THROW(FixedFileName(20), std::out_of_range);
  EXPECT_THROW(ProgramFileName(14), std::out_of_range);
  EXPECT_THROW(ShortcutTargetName(6), std::out_of_range);
}
