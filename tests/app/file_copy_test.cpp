// Retried copies, folder trees and the fatal ends of a deployment, on the
// real file system with the headless user interface.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/file_copy.h"
#include "common/temp_folder.h"
#include "platform/files.h"
#include "support/exit_codes.h"
#include "support/paths.h"
#include "support/program_exit.h"
#include "support/setup_log.h"
#include "ui/headless/headless_backend.h"

namespace {

class FileCopy : public ::testing::Test {
 protected:
  FileCopy() {
    previousHook = SetProgramExitHook([](int code) { throw TProgramEnded(code); });
    OpenLog(folder / "setup.log", 0);
  }
  ~FileCopy() override {
    SetupLog().Active = false;
    SetProgramExitHook(previousHook);
  }
  int EndCode(const std::function<void()>& action) {
    try {
      action();
    } catch (const TProgramEnded& ended) {
      return ended.ExitCode();
    }
    return -1;
  }

  TempFolder folder;
  ui::THeadlessBackend backend;
  TProgramExitHook previousHook;
};

TEST_F(FileCopy, ReadOnlyTargetsAreReplacedAndFailuresOfferRetryUntilCancel) {
  PutFile(folder / "src\\smtp.exe", "new");
  PutFile(folder / "dst\\smtp.exe", "old");
  ASSERT_TRUE(platform::SetReadOnly(folder / "dst\\smtp.exe", true));
  CopyWithRetry("smtp.exe", folder / "src\\", folder / "dst\\");
  EXPECT_EQ(GetFile(folder / "dst\\smtp.exe"), "new");
  EXPECT_TRUE(backend.Boxes().empty());

  backend.AnswerBoxes({ui::TModalResult::Retry, ui::TModalResult::Retry, ui::TModalResult::Cancel});
  EXPECT_EQ(EndCode([&] { CopyWithRetry("releasenotes.txt", folder / "src\\", folder / "dst\\"); }),
            kExitFailedDuringInstall);
  ASSERT_EQ(backend.Boxes().size(), 3u);
  const ui::TMessageBoxRequest& box = backend.Boxes()[0].Request;
  EXPECT_EQ(box.Caption, "Error");
  EXPECT_EQ(box.Buttons, ui::TMessageButtons::RetryCancel);
  EXPECT_EQ(box.Text.rfind("An error occured while copying file 'releasenotes.txt'.\r\n", 0), 0u);
  const std::string log = GetFile(folder / "setup.log");
  EXPECT_NE(log.find("Error: File \"" + folder.Path() + "dst\\releasenotes.txt\" - "),
            std::string::npos);
  EXPECT_NE(log.find("Error: Setup aborted\r\n"), std::string::npos);
}

TEST_F(FileCopy, TreesCopyFilesOnlyAndNeverFollowFolderLinks) {
  PutFile(folder / "x\\doc\\a.txt", "a");
  PutFile(folder / "x\\doc\\sub\\deep\\b.txt", "b");
  ForceFolders(folder / "x\\doc\\empty\\");
  CopyFolderTree(folder / "x\\", "doc\\", folder / "install\\");
  EXPECT_EQ(GetFile(folder / "install\\doc\\a.txt"), "a");
  EXPECT_EQ(GetFile(folder / "install\\doc\\sub\\deep\\b.txt"), "b");
  EXPECT_FALSE(FolderExists(folder / "install\\doc\\empty\\"));

#ifdef _WIN32
  // Wine makes no links itself: the prefix's fixture has a tree with a link
  // to a folder beside it (made by the host).
  CopyFolderTree("C:\\link-fixture\\", "tree\\", folder / "linked\\");
  EXPECT_EQ(GetFile(folder / "linked\\tree\\own.txt"), "x\n");
  EXPECT_FALSE(platform::PathExists(folder / "linked\\tree\\link"));
#else
  PutFile(folder / "outside\\secret.txt", "s");
  std::filesystem::create_directory_symlink(platform::NativePath(folder / "outside"),
                                            platform::NativePath(folder / "x\\doc\\link"));
  // A loop: the tree holds a link to itself.
  std::filesystem::create_directory_symlink(platform::NativePath(folder / "x\\doc"),
                                            platform::NativePath(folder / "x\\doc\\sub\\loop"));
  CopyFolderTree(folder / "x\\", "doc\\", folder / "linked\\");
  EXPECT_EQ(GetFile(folder / "linked\\doc\\a.txt"), "a");
  EXPECT_FALSE(platform::PathExists(folder / "linked\\doc\\link"));
  EXPECT_FALSE(platform::PathExists(folder / "linked\\doc\\sub\\loop"));
#endif
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(FileCopy, FatalEndsShowLogAndExitWithTheRunsFailureCode) {
  PutFile(folder / "blocker", "a file where a folder should be");
  EXPECT_EQ(EndCode([&] { CreateInstallFolder(folder / "blocker\\Tolva\\"); }),
            kExitFailedDuringInstall);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text.rfind("Directory could not be created: ", 0), 0u);
  CreateInstallFolder(folder / "fine\\Tolva\\");
  EXPECT_TRUE(FolderExists(folder / "fine\\Tolva\\"));

  backend.ClearBoxes();
  EXPECT_EQ(EndCode([] { AbortOnArchive("setupas.dat"); }), kExitFailedDuringInstall);
  ASSERT_EQ(backend.Boxes().size(), 1u);
  EXPECT_EQ(backend.Boxes()[0].Request.Text, "Extracting files error: data file error setupas.dat");
  EXPECT_NE(GetFile(folder / "setup.log")
                .find("Error: Setup aborted - Extracting files error: data file error "
                      "setupas.dat\r\n"),
            std::string::npos);
}

}  // namespace
