#include "support/paths.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "platform/fake/fake_system.h"
#include "platform/files.h"

TEST(WithPathDelimiter, AddRemoveAndConvert) {
  EXPECT_EQ(WithPathDelimiter("", true, true), "");
  EXPECT_EQ(WithPathDelimiter("C:\\Tolva", true, false), "C:\\Tolva\\");
  EXPECT_EQ(WithPathDelimiter("C:\\Tolva\\", true, false), "C:\\Tolva\\");
  EXPECT_EQ(WithPathDelimiter("C:\\Tolva\\", false, false), "C:\\Tolva");
  EXPECT_EQ(WithPathDelimiter("C:\\Tolva", false, false), "C:\\Tolva");
  EXPECT_EQ(WithPathDelimiter("C:/a/b", true, true), "C:\\a\\b\\");
  EXPECT_EQ(WithPathDelimiter("C:/a/b/", true, false), "C:/a/b/");
  EXPECT_EQ(WithPathDelimiter("C:/a/b/", false, false), "C:/a/b");
  EXPECT_EQ(WithPathDelimiter("\\", false, false), "");
}

TEST(Paths, AbsoluteAndParts) {
  EXPECT_FALSE(IsAbsolutePath(""));
  EXPECT_TRUE(IsAbsolutePath("\\server\\share"));
  EXPECT_TRUE(IsAbsolutePath("/etc"));
  EXPECT_TRUE(IsAbsolutePath("C:\\x"));
  EXPECT_TRUE(IsAbsolutePath("relative:odd"));
  EXPECT_FALSE(IsAbsolutePath("config\\settings.cfg"));
  // Only the first 255 characters count.
  EXPECT_FALSE(IsAbsolutePath(std::string(255, 'a') + ":"));

  EXPECT_EQ(ExtractFilePath("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(ExtractFileName("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(ExtractFilePath("C:b.txt"), "C:");
  EXPECT_EQ(ExtractFilePath("b.txt"), "");
}

TEST(ForceFolders, CreatesEveryMissingLevel) {
  TempFolder temp;
  std::string deep = temp / "one\\two\\three\\";
  EXPECT_FALSE(FolderExists(deep));
  EXPECT_TRUE(ForceFolders(deep));
  EXPECT_TRUE(FolderExists(temp / "one"));
  EXPECT_TRUE(FolderExists(temp / "one\\two"));
  EXPECT_TRUE(FolderExists(deep));
  // Existing folders are fine; without the trailing delimiter too.
  EXPECT_TRUE(ForceFolders(temp / "one\\two"));
  EXPECT_TRUE(ForceFolders(temp / "one\\two\\four"));
  EXPECT_TRUE(FolderExists(temp / "one\\two\\four\\"));
  EXPECT_FALSE(ForceFolders(""));

  // A file in the way cannot become a folder.
  PutFile(temp / "blocker", "x");
  EXPECT_FALSE(ForceFolders(temp / "blocker\\sub"));
  EXPECT_FALSE(FolderExists(temp / "blocker"));
}

TEST(GetSpecialFolder, TrimsAddsDelimiterAndFallsBack) {
  platform::FakeSystem system;
  system.Temp = "  C:\\Temp  ";
  EXPECT_EQ(GetSpecialFolder(SpecialFolder::Temporary, true), "C:\\Temp\\");
  system.Windows = "C:\\Windows\\";
  EXPECT_EQ(GetSpecialFolder(SpecialFolder::Windows, false), "C:\\Windows\\");
  system.System = "C:\\Windows\\system32";
  EXPECT_EQ(GetSpecialFolder(SpecialFolder::System, false), "C:\\Windows\\system32\\");

  system.Temp = " ";
  system.Program = "D:\\Dist\\setup.exe";
  EXPECT_EQ(GetSpecialFolder(SpecialFolder::Temporary, true), "");
  EXPECT_EQ(GetSpecialFolder(SpecialFolder::Temporary, false), "D:\\Dist\\");
}

TEST(GetSpecialFolder, RealSystemHasATemporaryFolder) {
  std::string temp = GetSpecialFolder(SpecialFolder::Temporary, true);
  ASSERT_FALSE(temp.empty());
  EXPECT_TRUE(temp.back() == '\\' || temp.back() == '/');
  EXPECT_TRUE(FolderExists(temp));
#ifdef _WIN32
  EXPECT_TRUE(FolderExists(GetSpecialFolder(SpecialFolder::Windows, true)));
  EXPECT_TRUE(FolderExists(GetSpecialFolder(SpecialFolder::System, true)));
#else
  // No Windows folder here: the program's own folder stands in.
  std::string fallback = GetSpecialFolder(SpecialFolder::Windows, false);
  EXPECT_EQ(fallback, ExtractFilePath(platform::CurrentSystem().ProgramPath()));
  EXPECT_EQ(GetSpecialFolder(SpecialFolder::Windows, true), "");
#endif
}
