#include "support/file_io.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "support/paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// A link to a folder: a symbolic link on POSIX, a junction-like directory
// symbolic link on Windows. False when the system does not allow one here.
bool MakeFolderLink(const std::string& link, const std::string& target) {
#ifdef _WIN32
  return CreateSymbolicLinkA(
             link.c_str(), target.c_str(),
             SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) != 0;
#else
  return symlink(platform::NativePath(target).c_str(), platform::NativePath(link).c_str()) == 0;
#endif
}

}  // namespace

TEST(WholeFiles, WriteAppendReadDelete) {
  TempFolder temp;
  std::string name = temp / "sub\\data.bin";
  EXPECT_FALSE(WriteStringToFile("x", ""));
  EXPECT_EQ(ReadFileToString(""), "");
  EXPECT_EQ(ReadFileToString(name), "");  // missing: empty, no error

  // The missing folder is created; binary content comes back byte for byte.
  std::string data("line1\r\nline2\0\xff", 14);
  ASSERT_TRUE(WriteStringToFile(data, name));
  EXPECT_EQ(ReadFileToString(name), data);

  ASSERT_TRUE(WriteStringToFile("tail", name, false, true));
  EXPECT_EQ(ReadFileToString(name), data + "tail");
  // Without append the file is replaced.
  ASSERT_TRUE(WriteStringToFile("new", name));
  EXPECT_EQ(ReadFileToString(name), "new");
  // Append to a file that does not exist yet creates it.
  ASSERT_TRUE(WriteStringToFile("first", temp / "fresh.txt", false, true));
  EXPECT_EQ(ReadFileToString(temp / "fresh.txt"), "first");

  // An empty write makes an empty file unless deleteIfEmpty.
  ASSERT_TRUE(WriteStringToFile("", temp / "empty.txt"));
  EXPECT_TRUE(platform::PathExists(temp / "empty.txt"));
  EXPECT_EQ(ReadFileToString(temp / "empty.txt"), "");
  EXPECT_TRUE(WriteStringToFile("", temp / "empty.txt", true));
  EXPECT_FALSE(platform::PathExists(temp / "empty.txt"));
  EXPECT_FALSE(WriteStringToFile("", temp / "empty.txt", true));

  EXPECT_EQ(ReadFileToString(name, true), "new");
  EXPECT_FALSE(platform::PathExists(name));
}

TEST(WholeFiles, LongNamesAreCutTo255) {
  TempFolder temp;
  ASSERT_LT(temp.Path().size(), 200u);
  std::string base = temp.Path() + std::string(255 - temp.Path().size(), 'n');
  ASSERT_EQ(base.size(), 255u);
  ASSERT_TRUE(WriteStringToFile("cut", base + "IGNORED"));
  EXPECT_EQ(ReadFileToString(base), "cut");
  EXPECT_EQ(ReadFileToString(base + "ALSO"), "cut");
}

TEST(FileStamp, ChangesWithTheFile) {
  TempFolder temp;
  EXPECT_EQ(FileStamp(temp / "missing.txt"), 0);
  PutFile(temp / "a.txt", "x");
  int32_t stamp = FileStamp(temp / "a.txt");
  EXPECT_NE(stamp, 0);
  // Date in the high word: a year since 1980 that is not in the past century.
  int year = 1980 + ((static_cast<uint32_t>(stamp) >> 25) & 0x7f);
  EXPECT_GE(year, 2020);
  // A folder by its name; with a trailing delimiter nothing matches.
  ASSERT_TRUE(ForceFolders(temp / "folder"));
  EXPECT_NE(FileStamp(temp / "folder"), 0);
  EXPECT_EQ(FileStamp(temp / "folder\\"), 0);
}

TEST(CopyAndMove, RespectExistingDestinations) {
  TempFolder temp;
  PutFile(temp / "a.txt", "A");
  PutFile(temp / "b.txt", "B");
  EXPECT_FALSE(CopyFileTo(temp / "a.txt", temp / "b.txt", true));
  EXPECT_EQ(GetFile(temp / "b.txt"), "B");
  EXPECT_TRUE(CopyFileTo(temp / "a.txt", temp / "b.txt", false));
  EXPECT_EQ(GetFile(temp / "b.txt"), "A");
  EXPECT_TRUE(CopyFileTo(temp / "a.txt", temp / "c.txt", true));
  EXPECT_EQ(GetFile(temp / "c.txt"), "A");
  EXPECT_FALSE(CopyFileTo(temp / "missing", temp / "d.txt", false));

  EXPECT_FALSE(MoveFileTo(temp / "a.txt", temp / "b.txt"));
  EXPECT_TRUE(platform::PathExists(temp / "a.txt"));
  EXPECT_TRUE(MoveFileTo(temp / "a.txt", temp / "moved.txt"));
  EXPECT_FALSE(platform::PathExists(temp / "a.txt"));
  EXPECT_EQ(GetFile(temp / "moved.txt"), "A");

  ASSERT_TRUE(ForceFolders(temp / "dir\\inner"));
  EXPECT_TRUE(MoveFileTo(temp / "dir", temp / "renamed"));
  EXPECT_TRUE(FolderExists(temp / "renamed\\inner"));
}

TEST(DeleteFolderTree, RecursiveMaskAndReadOnly) {
  TempFolder temp;
  EXPECT_FALSE(DeleteFolderTree(""));

  PutFile(temp / "tree\\a.txt", "a");
  PutFile(temp / "tree\\b.log", "b");
  PutFile(temp / "tree\\sub\\c.txt", "c");
  // Not recursive: files go, the subfolder stays and so does the folder.
  EXPECT_FALSE(DeleteFolderTree(temp / "tree", "*.*", false));
  EXPECT_FALSE(platform::PathExists(temp / "tree\\a.txt"));
  EXPECT_TRUE(platform::PathExists(temp / "tree\\sub\\c.txt"));

  // A mask limits what goes, in subfolders as well.
  PutFile(temp / "masked\\keep.log", "k");
  PutFile(temp / "masked\\drop.txt", "d");
  EXPECT_FALSE(DeleteFolderTree(temp / "masked\\", "*.txt", true));
  EXPECT_TRUE(platform::PathExists(temp / "masked\\keep.log"));
  EXPECT_FALSE(platform::PathExists(temp / "masked\\drop.txt"));

  // A read-only file stays, and keeps its folder.
  PutFile(temp / "ro\\locked.txt", "l");
  ASSERT_TRUE(platform::SetReadOnly(temp / "ro\\locked.txt", true));
  EXPECT_FALSE(DeleteFolderTree(temp / "ro", ""));
  EXPECT_TRUE(platform::PathExists(temp / "ro\\locked.txt"));
  ASSERT_TRUE(platform::SetReadOnly(temp / "ro\\locked.txt", false));

  EXPECT_TRUE(DeleteFolderTree(temp / "tree", "", true));
  EXPECT_FALSE(FolderExists(temp / "tree"));
}

TEST(DeleteFolderTree, LinksAreRemovedNotFollowed) {
  TempFolder temp;
  std::string base = temp.Path();
  PutFile(base + "precious\\data.txt", "keep me\n");
  PutFile(base + "tree\\own.txt", "x");
  bool madeHere = MakeFolderLink(base + "tree\\link", base + "precious") &&
                  MakeFolderLink(base + "direct", base + "precious") &&
                  platform::IsLink(base + "tree\\link");
  if (!madeHere) {
    // Under Wine the links come from the prefix's fixture (host links).
    base = "C:\\link-fixture\\";
    if (!platform::IsLink(base + "tree\\link")) GTEST_SKIP() << "no folder links on this system";
  }
  // Through the link the target's file is visible...
  ASSERT_EQ(GetFile(base + "tree\\link\\data.txt"), "keep me\n");

  bool removed = DeleteFolderTree(base + "tree");
  EXPECT_FALSE(platform::PathExists(base + "tree\\own.txt"));
  // ...but deleting the tree leaves it where it was.
  EXPECT_EQ(GetFile(base + "precious\\data.txt"), "keep me\n");

  // A link given as the folder itself: only the link is touched.
  bool removedDirect = DeleteFolderTree(base + "direct\\");
  EXPECT_EQ(GetFile(base + "precious\\data.txt"), "keep me\n");
  if (madeHere) {
    // Where the system can remove a link, the tree and the link are gone.
    EXPECT_TRUE(removed);
    EXPECT_FALSE(platform::PathExists(base + "tree"));
    EXPECT_TRUE(removedDirect);
    EXPECT_FALSE(platform::PathExists(base + "direct"));
  }
}
