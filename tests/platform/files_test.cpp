#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/temp_folder.h"

using platform::MaskMatches;

TEST(MaskMatches, WindowsFileMasks) {
  EXPECT_TRUE(MaskMatches("anything", "*.*"));
  EXPECT_TRUE(MaskMatches("noext", "*.*"));
  EXPECT_TRUE(MaskMatches("a.txt", "*.TXT"));
  EXPECT_FALSE(MaskMatches("a.txt", "*.log"));
  EXPECT_TRUE(MaskMatches("smtp.exe", "s?tp.*"));
  EXPECT_TRUE(MaskMatches("readme", "readme.*"));
  EXPECT_TRUE(MaskMatches("readme", "*."));
  EXPECT_FALSE(MaskMatches("readme.txt", "*."));
  EXPECT_TRUE(MaskMatches("x", ""));
  EXPECT_FALSE(MaskMatches(std::string(200, 'a'), std::string(40, '*') + "b"));
}

TEST(Files, ListFolderEntries) {
  TempFolder temp;
  PutFile(temp / "one.txt", "12345");
  PutFile(temp / "two.log", "");
  PutFile(temp / "sub\\inner.txt", "x");
  auto all = platform::ListFolder(temp.Path(), "*.*");
  std::vector<std::string> names;
  for (const auto& entry : all)
    names.push_back(entry.Name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"one.txt", "sub", "two.log"}));
  for (const auto& entry : all) {
    EXPECT_EQ(entry.IsFolder, entry.Name == "sub");
    EXPECT_FALSE(entry.IsLink);
    if (entry.Name == "one.txt") {
      EXPECT_EQ(entry.Size, 5u);
    }
    EXPECT_NE(entry.DosStamp, 0u);
  }
  EXPECT_EQ(platform::ListFolder(temp.Path(), "*.txt").size(), 1u);
  EXPECT_TRUE(platform::ListFolder(temp / "missing", "*").empty());
  // A pattern with the mask in its last part, as the file search takes it.
  EXPECT_EQ(platform::FindEntries(temp / "*.log").size(), 1u);
  EXPECT_EQ(platform::FindEntries(temp / "one.txt").size(), 1u);
}

TEST(Files, OpenModesAndErrors) {
  TempFolder temp;
  platform::File file;
  EXPECT_FALSE(file.Open(temp / "missing.bin", platform::FileMode::Read));
  EXPECT_NE(platform::LastSystemError(), 0u);
  EXPECT_FALSE(platform::SystemErrorText(platform::LastSystemError()).empty());
  EXPECT_FALSE(file.Open(temp.Path(), platform::FileMode::Read));

  ASSERT_TRUE(file.Open(temp / "data.bin", platform::FileMode::Create));
  file.Write("abcdef", 6);
  file.Seek(2);
  char buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "cdef");
  EXPECT_EQ(file.Size(), 6u);
  file.Close();
  EXPECT_FALSE(file.IsOpen());

  // A file opened for reading refuses writes with an I/O error.
  ASSERT_TRUE(file.Open(temp / "data.bin", platform::FileMode::Read));
  EXPECT_THROW(file.Write("x", 1), platform::IoError);
  platform::File moved(std::move(file));
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_FALSE(file.IsOpen());
  moved.Close();

  ASSERT_TRUE(file.Open(temp / "data.bin", platform::FileMode::ReadWrite));
  file.SeekToEnd();
  file.Write("g", 1);
  file.Close();
  EXPECT_EQ(GetFile(temp / "data.bin"), "abcdefg");
}

TEST(Files, ReplaceRenameAndRemove) {
  TempFolder temp;
  PutFile(temp / "new.cfg", "new");
  PutFile(temp / "old.cfg", "old");
  EXPECT_FALSE(platform::RenamePath(temp / "new.cfg", temp / "old.cfg"));
  EXPECT_TRUE(platform::ReplaceWith(temp / "new.cfg", temp / "old.cfg"));
  EXPECT_EQ(GetFile(temp / "old.cfg"), "new");
  EXPECT_FALSE(platform::PathExists(temp / "new.cfg"));

  EXPECT_TRUE(platform::MakeFolder(temp / "dir"));
  EXPECT_FALSE(platform::MakeFolder(temp / "dir"));
  EXPECT_FALSE(platform::RemoveFile(temp / "dir"));
  EXPECT_TRUE(platform::RemoveFolder(temp / "dir\\"));
  EXPECT_FALSE(platform::PathExists(temp / "dir"));
  EXPECT_FALSE(platform::RemoveFolder(temp.Path() + "missing"));
}

TEST(Files, FullPathResolvesDots) {
  std::string full = platform::FullPath(platform::NativePath("a\\b\\..\\c"));
  EXPECT_EQ(full.find(".."), std::string::npos);
  EXPECT_NE(full.find("c"), std::string::npos);
#ifdef _WIN32
  EXPECT_EQ(platform::FullPath("C:\\x\\.\\y\\..\\z"), "C:\\x\\z");
#else
  EXPECT_EQ(platform::FullPath("/x/./y/../z"), "/x/z");
  EXPECT_EQ(platform::NativePath("/tmp/t1\\config\\"), "/tmp/t1/config/");
#endif
}
