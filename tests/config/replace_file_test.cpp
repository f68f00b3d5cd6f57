// Stored files are replaced in one step, or written in place only where the
// system refuses the replacement; a failed write never costs the old file.
#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "config/replace_file.h"
#include "config/server_folders.h"
#include "config/settings_record.h"
#include "config/settings_store.h"
#include "config_state.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

WriteOutcome Write(const std::string& path, const std::string& data) {
  return WriteFileReplacing(path, data.data(), data.size());
}

std::string ReadOpen(platform::File& file) {
  file.Seek(0);
  std::string text(64, '\0');
  text.resize(file.Read(text.data(), text.size()));
  return text;
}

}  // namespace

TEST(ReplaceFile, ReplacesTheOldFileInOneStep) {
  TempFolder temp;
  const std::string path = temp / "sub\\folder\\data.cfg";
  EXPECT_EQ(Write(path, "first"), WriteOutcome::Replaced);  // the folder is made
  EXPECT_EQ(GetFile(path), "first");
  EXPECT_EQ(Write(path, "second, longer"), WriteOutcome::Replaced);
  EXPECT_EQ(GetFile(path), "second, longer");
  EXPECT_FALSE(platform::PathExists(ReplacementFileName(path)));
  // A stale file beside it, left by a process that died, is simply reused.
  PutFile(ReplacementFileName(path), "stale");
  EXPECT_EQ(Write(path, "third"), WriteOutcome::Replaced);
  EXPECT_EQ(GetFile(path), "third");
  EXPECT_FALSE(platform::PathExists(ReplacementFileName(path)));

#ifndef _WIN32
  // A reader that had the old file open still sees all of the old content:
  // the file was replaced, never truncated and rewritten.
  platform::File reader;
  ASSERT_TRUE(reader.Open(path, platform::FileMode::Read));
  EXPECT_EQ(Write(path, "fourth"), WriteOutcome::Replaced);
  EXPECT_EQ(ReadOpen(reader), "third");
  EXPECT_EQ(GetFile(path), "fourth");
#endif
}

#ifdef _WIN32

// A running server holds the file open for reading and writing but does not
// share its deletion: the file cannot be replaced and is written in place.
TEST(ReplaceFile, WritesInPlaceWhileAServerHoldsTheFile) {
  TempFolder temp;
  const std::string path = temp / "held.cfg";
  PutFile(path, "old content");
  platform::File server;
  ASSERT_TRUE(server.Open(path, platform::FileMode::Read));
  EXPECT_EQ(Write(path, "new"), WriteOutcome::WrittenInPlace);
  EXPECT_EQ(ReadOpen(server), "new");
  EXPECT_FALSE(platform::PathExists(ReplacementFileName(path)));
  server.Close();
  EXPECT_EQ(GetFile(path), "new");
  EXPECT_EQ(Write(path, "free again"), WriteOutcome::Replaced);
}

TEST(ReplaceFile, SavingSettingsWhileAServerHoldsThem) {
  TempFolder temp;
  platform::FakeSystem system;
  ResetConfigStore();
  UseInstallFolder(temp.Path());
  Settings().SetText(settings_field::HostName, "before.example.org");
  ASSERT_TRUE(SaveSettings(true));
  platform::File server;
  ASSERT_TRUE(server.Open(temp / "config\\settings.cfg", platform::FileMode::Read));
  Settings().SetText(settings_field::HostName, "after.example.org");
  EXPECT_TRUE(SaveSettings(true));
  server.Close();
  EXPECT_EQ(GetSettingsFile(temp / "config\\settings.cfg").HostName(), "after.example.org");
  ResetConfigStore();
}

#else

// Where no new file may be made beside it (here a folder is in the way), the
// file is written in place.
TEST(ReplaceFile, WritesInPlaceWhenNothingCanBeMadeBesideIt) {
  TempFolder temp;
  const std::string path = temp / "data.cfg";
  PutFile(path, "old content");
  ASSERT_TRUE(platform::MakeFolder(ReplacementFileName(path)));
  const std::string whole = "whole or nothing";
  EXPECT_EQ(WriteFileReplacing(path, whole.data(), whole.size(), TReplaceMode::WholeOnly),
            WriteOutcome::Failed);
  EXPECT_EQ(GetFile(path), "old content");
  EXPECT_EQ(Write(path, "new"), WriteOutcome::WrittenInPlace);
  EXPECT_EQ(GetFile(path), "new");
  EXPECT_TRUE(platform::IsFolder(ReplacementFileName(path)));
}

// A disk that fills up while the new content is written: the old file stays
// whole and nothing is left beside it.
TEST(ReplaceFile, AFullDiskKeepsTheOldFile) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  TempFolder temp;
  const std::string path = temp / "data.cfg";
  PutFile(path, "old content");
  ASSERT_EQ(symlink("/dev/full", platform::NativePath(ReplacementFileName(path)).c_str()), 0);
  EXPECT_EQ(Write(path, std::string(100000, 'x')), WriteOutcome::Failed);
  EXPECT_EQ(GetFile(path), "old content");
  EXPECT_FALSE(platform::PathExists(ReplacementFileName(path)));

  // The settings save reports it and keeps the file.
  platform::FakeSystem system;
  ResetConfigStore();
  UseInstallFolder(temp.Path());
  ASSERT_TRUE(SaveSettings(true));
  const std::string before = GetFile(temp / "config\\settings.cfg");
  ASSERT_EQ(
      symlink("/dev/full",
              platform::NativePath(ReplacementFileName(temp / "config\\settings.cfg")).c_str()),
      0);
  Settings().SetText(settings_field::HostName, "lost.example.org");
  EXPECT_FALSE(SaveSettings(true));
  EXPECT_EQ(GetFile(temp / "config\\settings.cfg"), before);
  ResetConfigStore();
}

#endif
