#include "archive/archive_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "archive/archive_format.h"
#include "archive/archive_input.h"
#include "archive/entry_cipher.h"
#include "archive/entry_codec.h"
#include "archive/extract_archive.h"
#include "common/file_tree.h"
#include "common/temp_folder.h"
#include "raw_archive.h"

namespace {

std::string Write(const TempFolder& temp, uint32_t version,
                  const std::vector<std::pair<std::string, std::string>>& entries,
                  const std::string& password = "", bool endMarker = false) {
  TArchiveWriter writer(version, password);
  EXPECT_TRUE(writer.Create(temp / "a.dat"));
  for (const auto& [name, content] : entries)
    writer.AddContent(name, content);
  if (endMarker) writer.AddEndMarker();
  writer.Close();
  return GetFile(temp / "a.dat");
}

TEST(ArchiveWriter, LayoutOfEachVersionByteForByte) {
  TempFolder temp;
  const std::string content = "Hello, Tolva!";
  const std::string block = Deflate(content);
  const std::string size = Le32(static_cast<uint32_t>(block.size()));

  std::string v3 = Write(temp, 3, {{"dir/a.txt", content}});
  EXPECT_EQ(v3, std::string("ILDS\x09\0\0\0", 8) + std::string("\0\x03\0\0\0\0\0\0\0", 9) +
                    "\x09"
                    "dir\\a.txt" +
                    std::string(12, '\0') + '\0' + Le32(Crc32(content)) + size + block);

  std::string v2 = Write(temp, 2, {{"dir\\a.txt", content}});
  EXPECT_EQ(v2, std::string("ILDS\x09\0\0\0", 8) + std::string("\0\x02\0\0\0\0\0\0\0", 9) +
                    "\x09"
                    "dir\\a.txt" +
                    size + block);

  std::string v1 = Write(temp, 1, {{"dir\\a.txt", content}});
  std::string field =
      "\x09"
      "dir\\a.txt";
  field.resize(256, '\0');
  EXPECT_EQ(v1, std::string("ILDS\x09\0\0\0", 8) + std::string("\0\x01\0\0\0\0\0\0\0", 9) + field +
                    size + block);

  std::string v0 = Write(temp, 0, {{"dir\\a.txt", content}});
  EXPECT_EQ(v0, field + size + block);
}

TEST(ArchiveWriter, EmptyFilesEncryptionFlagAndEndMarker) {
  TempFolder temp;
  std::string plain = Write(temp, 3, {{"e", ""}}, "", true);
  EXPECT_EQ(plain.substr(17),
            "\x01"
            "e" +
                std::string(17, '\0') + Le32(0) + std::string(1, '\0') + std::string(17, '\0') +
                Le32(0));

  // With a password every entry is flagged, the empty one too.
  std::string secret = Write(temp, 3, {{"e", ""}, {"f", "content"}}, "pw");
  EXPECT_EQ(secret[17 + 2 + 12], '\1');
  size_t second = 17 + 2 + 17 + 4;
  EXPECT_EQ(secret[second + 2 + 12], '\1');
  TEntryCipher cipher("pw");
  TArchiveEntry entry;
  EXPECT_EQ(secret.substr(second + 2 + 17 + 4), EncodeEntryData("content", &cipher, entry));
}

TEST(ArchiveWriter, Version0GetsAHeaderOnlyWhenItsFirstEntryWouldLookLikeOne) {
  TempFolder temp;
  // A name of length 73 ('I') beginning with "LDS" makes the bytes "ILDS".
  const std::string name = "LDS" + std::string(70, 'x');
  std::string bytes = Write(temp, 0, {{name, "tricky"}, {"b", "b"}});
  EXPECT_EQ(bytes.substr(0, 17), std::string("ILDS\x09\0\0\0", 8) + std::string(9, '\0'));
  int code = -1;
  EXPECT_TRUE(ExtractArchive(temp / "a.dat", temp / "out", code));
  EXPECT_TRUE(SameTree(ReadTree(temp / "out\\"), (TFileTree{{name, "tricky"}, {"b", "b"}})));
}

TEST(ArchiveWriter, RefusesWhatTheFormatCannotHold) {
  TempFolder temp;
  EXPECT_THROW(TArchiveWriter(2, "pw"), std::invalid_argument);
  TArchiveWriter writer(3);
  ASSERT_TRUE(writer.Create(temp / "a.dat"));
  EXPECT_THROW(writer.AddContent("", "x"), std::invalid_argument);
  EXPECT_THROW(writer.AddContent(std::string(256, 'n'), "x"), std::invalid_argument);
  writer.AddContent(std::string(255, 'n'), "longest");
  EXPECT_FALSE(writer.AddFile("missing", temp / "does-not-exist"));
  writer.Close();
  // Read back by the entry headers: a path of that length exceeds what the
  // Windows file functions take, so the names are not checked on disk.
  TArchiveInput input;
  ASSERT_TRUE(input.Open(temp / "a.dat"));
  TArchiveHeader header;
  ASSERT_TRUE(ReadArchiveHeader(input, header));
  TArchiveEntry entry;
  ASSERT_TRUE(ReadEntryHeader(input, header.Version(), entry));
  EXPECT_EQ(entry.Name, std::string(255, 'n'));
  EXPECT_EQ(input.Skip(entry.StoredSize), entry.StoredSize);
  EXPECT_TRUE(input.AtEnd());
  input.Close();
  EXPECT_FALSE(TArchiveWriter(3).Create(temp / "no\\such\\folder\\a.dat"));
}

TEST(ArchiveWriter, AddFileStreamsLargeFiles) {
  TempFolder temp;
  std::string big;
  for (int i = 0; big.size() < 5 * 1024 * 1024; ++i)
    big += "record " + std::to_string(i % 977) + ";";
  PutFile(temp / "big.bin", big);
  TArchiveWriter writer(3, "pw");
  ASSERT_TRUE(writer.Create(temp / "a.dat"));
  ASSERT_TRUE(writer.AddFile("big.bin", temp / "big.bin"));
  writer.AddContent("small", "s");
  writer.Close();
  int code = -1;
  EXPECT_TRUE(ExtractArchive(temp / "a.dat", temp / "out", code, true, "", "", "pw"));
  EXPECT_TRUE(GetFile(temp / "out\\big.bin") == big);
  EXPECT_EQ(GetFile(temp / "out\\small"), "s");
}

}  // namespace
