#include "archive/extract_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "archive/archive_writer.h"
#include "archive/entry_cipher.h"
#include "archive/entry_codec.h"
#include "common/file_tree.h"
#include "common/temp_folder.h"
#include "platform/files.h"
#include "raw_archive.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace {

TFileTree SampleTree() {
  std::string large;
  for (int i = 0; large.size() < 1500000; ++i)
    large += "line " + std::to_string(i * 7919u % 100003u) + "\r\n";
  return {
      {"readme.txt", "Nivalis Tolva\r\n"},
      {"empty.dat", ""},
      {"config\\settings.ini", "[General]\r\nHostName=mail\r\n"},
      {"config\\deep\\more\\leaf.bin", std::string("\0\1\2\3\xff", 5)},
      {"html\\mail\\index.html", large},
  };
}

std::string WriteArchive(const TempFolder& temp, const std::string& name, uint32_t version,
                         const TFileTree& tree, const std::string& password = "") {
  TArchiveWriter writer(version, password);
  std::string path = temp / name;
  EXPECT_TRUE(writer.Create(path));
  for (const auto& [entry, content] : tree)
    writer.AddContent(entry, content);
  writer.Close();
  return path;
}

std::string PutArchive(const TempFolder& temp, const std::string& name, const std::string& bytes) {
  PutFile(temp / name, bytes);
  return temp / name;
}

struct Outcome {
  bool Result;
  int Code;
};

Outcome Extract(const std::string& archive, const std::string& destination,
                bool overwriteAll = true, const std::string& keepList = "",
                const std::string& onlyFiles = "", const std::string& password = "") {
  int code = -1;
  bool result =
      ExtractArchive(archive, destination, code, overwriteAll, keepList, onlyFiles, password);
  return {result, code};
}

TEST(ExtractArchive, EveryVersionUnpacksToTheSameTree) {
  TempFolder temp;
  const TFileTree tree = SampleTree();
  for (uint32_t version = 0; version <= 3; ++version) {
    std::string archive = WriteArchive(temp, "v" + std::to_string(version) + ".dat", version, tree);
    std::string destination = temp / ("out" + std::to_string(version) + "\\");
    Outcome outcome = Extract(archive, destination);
    EXPECT_TRUE(outcome.Result) << "version " << version;
    EXPECT_EQ(outcome.Code, 0);
    EXPECT_TRUE(SameTree(ReadTree(destination), tree)) << "version " << version;
  }
  // Hand-made archives of the four layouts read the same.
  for (uint32_t version = 0; version <= 3; ++version) {
    std::string bytes = version == 0 ? std::string() : RawFileHeader(version);
    for (const auto& [entry, content] : tree)
      bytes += RawEntry(version, entry, content);
    std::string destination = temp / ("raw" + std::to_string(version));
    EXPECT_TRUE(Extract(PutArchive(temp, "raw.dat", bytes), destination).Result);
    EXPECT_TRUE(SameTree(ReadTree(destination + "\\"), tree)) << "version " << version;
  }
}

TEST(ExtractArchive, FileWithoutMagicIsVersion0AndAnEmptyFileIsAnEmptyArchive) {
  TempFolder temp;
  // The name field of version 0 is 256 bytes; a version-2 reading would differ.
  std::string bytes = RawEntry(0, "a.txt", "alpha") + RawEntry(0, "b\\b.txt", "beta");
  EXPECT_TRUE(Extract(PutArchive(temp, "plain.dat", bytes), temp / "out").Result);
  EXPECT_TRUE(
      SameTree(ReadTree(temp / "out\\"), (TFileTree{{"a.txt", "alpha"}, {"b\\b.txt", "beta"}})));

  Outcome empty = Extract(PutArchive(temp, "empty.dat", ""), temp / "none\\");
  EXPECT_TRUE(empty.Result);
  EXPECT_EQ(empty.Code, 0);
  EXPECT_TRUE(FolderExists(temp / "none\\"));
  EXPECT_TRUE(ReadTree(temp / "none\\").empty());
}

TEST(ExtractArchive, HeaderLengthDecidesHowMuchIsHeader) {
  TempFolder temp;
  // Surplus header bytes of a later writer are passed over.
  std::string longer = RawFileHeader(2, 13) + RawEntry(2, "x.txt", "x");
  EXPECT_TRUE(Extract(PutArchive(temp, "long.dat", longer), temp / "long").Result);
  EXPECT_EQ(GetFile(temp / "long\\x.txt"), "x");
  // A header of length 0 leaves the version 0: fixed name fields follow.
  std::string zero = RawFileHeader(0, 0) + RawEntry(0, "y.txt", "y");
  EXPECT_TRUE(Extract(PutArchive(temp, "zero.dat", zero), temp / "zero").Result);
  EXPECT_EQ(GetFile(temp / "zero\\y.txt"), "y");
  // Version 2 in the low byte only: the rest of the record stays zero.
  std::string shortHeader = "ILDS" + Le32(2) + std::string("\0\2", 2) + RawEntry(2, "z", "z");
  EXPECT_TRUE(Extract(PutArchive(temp, "short.dat", shortHeader), temp / "short").Result);
  EXPECT_EQ(GetFile(temp / "short\\z"), "z");
  // Versions above 3 use the layout of 3.
  std::string later = RawFileHeader(7) + RawEntry(3, "w", "w");
  EXPECT_TRUE(Extract(PutArchive(temp, "later.dat", later), temp / "later").Result);
  EXPECT_EQ(GetFile(temp / "later\\w"), "w");
}

TEST(ExtractArchive, SlashesAndBackslashesNameTheSamePath) {
  TempFolder temp;
  std::string bytes = RawFileHeader(3) + RawEntry(3, "sub/dir/one.txt", "1") +
                      RawEntry(3, "sub\\dir\\two.txt", "2") + RawEntry(3, "sub/dir\\one.txt", "3");
  EXPECT_TRUE(Extract(PutArchive(temp, "a.dat", bytes), temp / "out").Result);
  // The later entry of the same path wins.
  EXPECT_TRUE(SameTree(ReadTree(temp / "out\\"),
                       (TFileTree{{"sub\\dir\\one.txt", "3"}, {"sub\\dir\\two.txt", "2"}})));
}

TEST(ExtractArchive, EmptyEntriesMakeEmptyFiles) {
  TempFolder temp;
  PutFile(temp / "out\\old.txt", "old content");
  std::string bytes = RawFileHeader(3) + RawEntryHeader(3, "old.txt", 0, 0x12345678) +
                      RawEntryHeader(3, "new\\none.txt", 0) + RawEntry(3, "last.txt", "end");
  EXPECT_TRUE(Extract(PutArchive(temp, "a.dat", bytes), temp / "out").Result);
  EXPECT_TRUE(SameTree(ReadTree(temp / "out\\"),
                       (TFileTree{{"old.txt", ""}, {"new\\none.txt", ""}, {"last.txt", "end"}})));
}

TEST(ExtractArchive, ChecksumMismatchRemovesThatFileAndStops) {
  TempFolder temp;
  PutFile(temp / "out\\bad.txt", "was here before");
  std::string block = Deflate("damaged content");
  std::string bytes = RawFileHeader(3) + RawEntry(3, "first.txt", "one") +
                      RawEntry(3, "dir\\second.txt", "two") +
                      RawEntryHeader(3, "bad.txt", static_cast<uint32_t>(block.size()),
                                     Crc32("damaged content") ^ 0x80) +
                      block + RawEntry(3, "after.txt", "never");
  Outcome outcome = Extract(PutArchive(temp, "a.dat", bytes), temp / "out");
  EXPECT_FALSE(outcome.Result);
  EXPECT_EQ(outcome.Code, kExtractDamagedEntry);
  EXPECT_TRUE(SameTree(ReadTree(temp / "out\\"),
                       (TFileTree{{"first.txt", "one"}, {"dir\\second.txt", "two"}})));
}

TEST(ExtractArchive, DamagedBlockBelowVersion3KeepsWhatCouldBeInflated) {
  TempFolder temp;
  std::string content;
  for (int i = 0; i < 20000; ++i)
    content += std::to_string(i) + ",";
  std::string block = Deflate(content);
  for (size_t i = block.size() / 2; i < block.size(); ++i)
    block[i] = '\x55';
  std::string bytes = RawFileHeader(2) +
                      RawEntryHeader(2, "part.txt", static_cast<uint32_t>(block.size())) + block +
                      RawEntry(2, "next.txt", "next");
  Outcome outcome = Extract(PutArchive(temp, "a.dat", bytes), temp / "out");
  EXPECT_TRUE(outcome.Result);
  EXPECT_EQ(outcome.Code, 0);
  // The content up to the damage, and whatever the garbage inflates to.
  std::string part = GetFile(temp / "out\\part.txt");
  ASSERT_GT(part.size(), 1000u);
  EXPECT_TRUE(part.compare(0, 1000, content, 0, 1000) == 0);
  EXPECT_TRUE(part != content);
  EXPECT_EQ(GetFile(temp / "out\\next.txt"), "next");
}

TEST(ExtractArchive, StoredSizeBeyondTheEndOfTheFile) {
  TempFolder temp;
  std::string content(300000, 'q');
  std::string block = Deflate(content);
  std::string cut = block.substr(0, block.size() / 2);
  // Version 3: the checksum fails; the file is removed.
  std::string v3 = RawFileHeader(3) + RawEntry(3, "ok.txt", "ok") +
                   RawEntryHeader(3, "cut.txt", 0xFFFFFFFFu, Crc32(content)) + cut;
  Outcome three = Extract(PutArchive(temp, "v3.dat", v3), temp / "three");
  EXPECT_FALSE(three.Result);
  EXPECT_EQ(three.Code, kExtractDamagedEntry);
  EXPECT_TRUE(SameTree(ReadTree(temp / "three\\"), (TFileTree{{"ok.txt", "ok"}})));
  // Version 2: what could be inflated stays, as for any damaged block.
  std::string v2 = RawFileHeader(2) + RawEntryHeader(2, "cut.txt", 0xFFFFFFFFu) + cut;
  EXPECT_TRUE(Extract(PutArchive(temp, "v2.dat", v2), temp / "two").Result);
  std::string part = GetFile(temp / "two\\cut.txt");
  EXPECT_TRUE(part == content.substr(0, part.size()));
}

TEST(ExtractArchive, EncryptedEntryWithoutPasswordStopsEvenWhenFiltered) {
  TempFolder temp;
  const TFileTree tree = {{"a.txt", "alpha"}, {"b.txt", "beta"}};
  std::string secret = WriteArchive(temp, "secret.dat", 3, tree, "pw");
  std::string bytes =
      RawFileHeader(3) + RawEntry(3, "plain.txt", "plain") + GetFile(secret).substr(17);

  Outcome outcome = Extract(PutArchive(temp, "mixed.dat", bytes), temp / "out");
  EXPECT_FALSE(outcome.Result);
  EXPECT_EQ(outcome.Code, kExtractNeedsPassword);
  EXPECT_TRUE(SameTree(ReadTree(temp / "out\\"), (TFileTree{{"plain.txt", "plain"}})));

  // The filter would pass over the encrypted entries; the run stops all the same.
  Outcome filtered = Extract(temp / "mixed.dat", temp / "filtered", true, "", "plain.txt");
  EXPECT_FALSE(filtered.Result);
  EXPECT_EQ(filtered.Code, kExtractNeedsPassword);

  Outcome withPassword = Extract(temp / "mixed.dat", temp / "open", true, "", "", "pw");
  EXPECT_TRUE(withPassword.Result);
  EXPECT_TRUE(SameTree(ReadTree(temp / "open\\"),
                       (TFileTree{{"plain.txt", "plain"}, {"a.txt", "alpha"}, {"b.txt", "beta"}})));
}

TEST(ExtractArchive, PasswordArchivesRoundTripAndWrongPasswordsFailTheChecksum) {
  TempFolder temp;
  const TFileTree tree = SampleTree();
  std::string archive = WriteArchive(temp, "secret.dat", 3, tree, "Tolva-9");
  Outcome right = Extract(archive, temp / "right", true, "", "", "Tolva-9");
  EXPECT_TRUE(right.Result);
  EXPECT_TRUE(SameTree(ReadTree(temp / "right\\"), tree));

  Outcome none = Extract(archive, temp / "none");
  EXPECT_EQ(none.Code, kExtractNeedsPassword);
  EXPECT_TRUE(ReadTree(temp / "none\\").empty());

  Outcome wrong = Extract(archive, temp / "wrong", true, "", "", "tolva-9");
  EXPECT_FALSE(wrong.Result);
  EXPECT_EQ(wrong.Code, kExtractDamagedEntry);
}

TEST(ExtractArchive, WithoutOverwriteExistingFilesStay) {
  TempFolder temp;
  std::string archive = WriteArchive(
      temp, "a.dat", 3,
      {{"keep.txt", "new keep"}, {"sub\\other.txt", "new other"}, {"fresh.txt", "fresh"}});
  auto prepare = [&](const std::string& folder) {
    PutFile(temp / (folder + "\\keep.txt"), "old keep");
    PutFile(temp / (folder + "\\sub\\other.txt"), "old other");
    return temp / folder;
  };

  EXPECT_TRUE(Extract(archive, prepare("plain"), false).Result);
  EXPECT_EQ(GetFile(temp / "plain\\keep.txt"), "old keep");
  EXPECT_EQ(GetFile(temp / "plain\\sub\\other.txt"), "old other");
  EXPECT_EQ(GetFile(temp / "plain\\fresh.txt"), "fresh");

  // One name with a delimiter before and after it keeps that file (any case);
  // the other existing files are replaced.
  EXPECT_TRUE(Extract(archive, prepare("listed"), false, ";KEEP.TXT;").Result);
  EXPECT_EQ(GetFile(temp / "listed\\keep.txt"), "old keep");
  EXPECT_EQ(GetFile(temp / "listed\\sub\\other.txt"), "new other");
  EXPECT_EQ(GetFile(temp / "listed\\fresh.txt"), "fresh");

  // Without the delimiters the name matches nothing: every existing file is replaced.
  EXPECT_TRUE(Extract(archive, prepare("bare"), false, "keep.txt").Result);
  EXPECT_EQ(GetFile(temp / "bare\\keep.txt"), "new keep");
  EXPECT_EQ(GetFile(temp / "bare\\sub\\other.txt"), "new other");

  // Folder names are part of the listed name.
  EXPECT_TRUE(Extract(archive, prepare("folders"), false, ";x;Sub\\Other.txt;").Result);
  EXPECT_EQ(GetFile(temp / "folders\\keep.txt"), "new keep");
  EXPECT_EQ(GetFile(temp / "folders\\sub\\other.txt"), "old other");
}

TEST(ExtractArchive, OnlyFilesSelectsWholeNamesInAnyCase) {
  TempFolder temp;
  std::string archive = WriteArchive(temp, "a.dat", 3,
                                     {{"file.txt", "root"},
                                      {"sub\\file.txt", "wanted"},
                                      {"other\\file.txt", "other"},
                                      {"sub\\file.txt.bak", "bak"}});
  Outcome outcome = Extract(archive, temp / "out", true, "", "  SUB\\File.TXT ;; ; \t;");
  EXPECT_TRUE(outcome.Result);
  EXPECT_TRUE(SameTree(ReadTree(temp / "out\\"), (TFileTree{{"sub\\file.txt", "wanted"}})));

  EXPECT_TRUE(Extract(archive, temp / "two", true, "", "file.txt;other\\FILE.txt").Result);
  EXPECT_TRUE(SameTree(ReadTree(temp / "two\\"),
                       (TFileTree{{"file.txt", "root"}, {"other\\file.txt", "other"}})));
}

TEST(ExtractArchive, EndMarkerEndsTheListWhateverFollows) {
  TempFolder temp;
  for (uint32_t version : {1u, 2u, 3u}) {
    std::string bytes = RawFileHeader(version) + RawEntry(version, "a.txt", "a") +
                        RawEntryHeader(version, "", 1234) + "garbage that is no entry at all";
    std::string out = temp / ("out" + std::to_string(version));
    Outcome outcome = Extract(PutArchive(temp, "a.dat", bytes), out);
    EXPECT_TRUE(outcome.Result) << version;
    EXPECT_TRUE(SameTree(ReadTree(out + "\\"), (TFileTree{{"a.txt", "a"}}))) << version;
  }
  // The end marker must be a complete header itself.
  std::string incomplete =
      RawFileHeader(3) + RawEntry(3, "a.txt", "a") + RawEntryHeader(3, "", 0).substr(0, 10);
  EXPECT_FALSE(Extract(PutArchive(temp, "b.dat", incomplete), temp / "cut").Result);
}

TEST(ExtractArchive, TruncatedHeadersEndTheCallWithFalse) {
  TempFolder temp;
  for (uint32_t version = 0; version <= 3; ++version) {
    std::string head = version == 0 ? std::string() : RawFileHeader(version);
    std::string first = RawEntry(version, "first.txt", "first");
    std::string second = RawEntry(version, "dir\\second.txt", "second");
    size_t headerSize = RawEntryHeader(version, "dir\\second.txt", 0).size();
    for (size_t cut = 1; cut < headerSize; cut += (cut < 20 ? 1 : 37)) {
      std::string bytes = head + first + second.substr(0, cut);
      std::string out = temp / ("t" + std::to_string(version) + "-" + std::to_string(cut));
      Outcome outcome = Extract(PutArchive(temp, "t.dat", bytes), out);
      EXPECT_FALSE(outcome.Result) << version << " cut " << cut;
      EXPECT_EQ(outcome.Code, 0);
      EXPECT_TRUE(SameTree(ReadTree(out + "\\"), (TFileTree{{"first.txt", "first"}})))
          << version << " cut " << cut;
    }
  }
  // A file header cut short.
  for (const std::string& bytes : {std::string("ILDS"), std::string("ILDS\x09\0\0", 7),
                                   std::string("ILDS\x09\0\0\0\0\3", 10)}) {
    Outcome outcome = Extract(PutArchive(temp, "h.dat", bytes), temp / "h");
    EXPECT_FALSE(outcome.Result) << bytes.size();
    EXPECT_EQ(outcome.Code, 0);
  }
  // Fewer bytes than an entry header without the magic.
  EXPECT_FALSE(Extract(PutArchive(temp, "s.dat", "IL"), temp / "s").Result);
}

TEST(ExtractArchive, NamesLeadingOutsideTheDestinationAreNeverWritten) {
  TempFolder temp;
  const std::string destination = temp / "deep\\dest\\";
  const std::vector<std::string> unsafe = {"..\\escape.txt",
                                           "../escape.txt",
                                           "sub\\..\\..\\escape.txt",
                                           "sub/../../escape.txt",
                                           "\\escape.txt",
                                           "/escape.txt",
                                           "C:\\escape.txt",
                                           "c:escape.txt",
                                           "sub\\.. \\escape.txt",
                                           "sub\\...\\escape.txt",
                                           "..",
                                           std::string("a\0b", 3),
                                           "sub\\file.txt:stream"};
  for (const std::string& name : unsafe) {
    for (uint32_t version : {1u, 3u}) {
      DeleteFolderTree(temp / "deep");
      std::string bytes = RawFileHeader(version) + RawEntry(version, "before.txt", "before") +
                          RawEntry(version, name, "evil") + RawEntry(version, "after.txt", "after");
      Outcome outcome = Extract(PutArchive(temp, "evil.dat", bytes), destination);
      EXPECT_FALSE(outcome.Result) << name;
      EXPECT_EQ(outcome.Code, kExtractUnsafeName) << name;
      EXPECT_TRUE(SameTree(ReadTree(temp / "deep\\"), (TFileTree{{"dest\\before.txt", "before"}})))
          << name;
      EXPECT_FALSE(platform::PathExists(temp / "escape.txt"));
      // Also when the entry would not have been written anyway.
      Outcome filtered = Extract(temp / "evil.dat", destination, true, "", "after.txt");
      EXPECT_EQ(filtered.Code, kExtractUnsafeName) << name;
    }
  }
  // Dots inside names are fine.
  std::string bytes = RawFileHeader(3) + RawEntry(3, "..hidden", "1") +
                      RawEntry(3, "a..b\\c.", "2") + RawEntry(3, "x\\.\\y.txt", "3");
  EXPECT_TRUE(Extract(PutArchive(temp, "dots.dat", bytes), temp / "dots").Result);
  EXPECT_EQ(GetFile(temp / "dots\\..hidden"), "1");
  EXPECT_EQ(GetFile(temp / "dots\\x\\y.txt"), "3");
}

TEST(ExtractArchive, ArgumentsFoldersAndFilesThatCannotBeUsed) {
  TempFolder temp;
  std::string archive = WriteArchive(temp, "a.dat", 3, {{"a.txt", "a"}});
  EXPECT_FALSE(Extract("", temp / "out").Result);
  EXPECT_FALSE(Extract(archive, "").Result);
  Outcome missing = Extract(temp / "missing.dat", temp / "out2");
  EXPECT_FALSE(missing.Result);
  EXPECT_EQ(missing.Code, 0);

  // The destination is made with its parents; a file in the way fails it.
  EXPECT_TRUE(Extract(archive, temp / "one\\two\\three").Result);
  EXPECT_EQ(GetFile(temp / "one\\two\\three\\a.txt"), "a");
  PutFile(temp / "blocker", "file");
  Outcome blocked = Extract(archive, temp / "blocker\\sub");
  EXPECT_FALSE(blocked.Result);
  EXPECT_EQ(blocked.Code, 0);

  // An output file that cannot be created is passed over and the run goes on.
  ASSERT_TRUE(ForceFolders(temp / "busy\\taken.txt\\"));
  std::string bytes = RawFileHeader(2) + RawEntry(2, "taken.txt", "x") + RawEntry(2, "b.txt", "b");
  Outcome skipped = Extract(PutArchive(temp, "b.dat", bytes), temp / "busy");
  EXPECT_TRUE(skipped.Result);
  EXPECT_EQ(GetFile(temp / "busy\\b.txt"), "b");
  EXPECT_TRUE(FolderExists(temp / "busy\\taken.txt"));
}

#ifndef _WIN32
TEST(ExtractArchive, FailedWriteIsReportedAndTheFileNotLeftHalfWritten) {
  TempFolder temp;
  if (!platform::PathExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_TRUE(ForceFolders(temp / "out\\"));
  ASSERT_EQ(symlink("/dev/full", platform::NativePath(temp / "out\\full.txt").c_str()), 0);
  std::string archive = WriteArchive(
      temp, "a.dat", 3, {{"a.txt", "a"}, {"full.txt", std::string(5000, 'f')}, {"z.txt", "z"}});
  Outcome outcome = Extract(archive, temp / "out");
  EXPECT_FALSE(outcome.Result);
  EXPECT_EQ(outcome.Code, 0);
  EXPECT_TRUE(SameTree(ReadTree(temp / "out\\"), (TFileTree{{"a.txt", "a"}})));
}
#endif

TEST(RemoveExtractedFolder, DeletesTheWholeTree) {
  TempFolder temp;
  WriteTree(temp / "x\\", SampleTree());
  RemoveExtractedFolder(temp / "x");
  EXPECT_FALSE(platform::PathExists(temp / "x"));
  WriteTree(temp / "y\\", SampleTree());
  RemoveExtractedFolder(temp / "y\\");
  EXPECT_FALSE(platform::PathExists(temp / "y"));
  RemoveExtractedFolder("");  // nothing, and surely not the current folder
  EXPECT_TRUE(FolderExists(temp.Path()));
}

}  // namespace
