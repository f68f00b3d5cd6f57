#include "archive/entry_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "archive/archive_input.h"
#include "archive/entry_cipher.h"
#include "common/temp_folder.h"
#include "raw_archive.h"

namespace {

std::string Inflate(const std::string& block, size_t size) {
  std::string out(size, '\0');
  uLongf got = static_cast<uLongf>(size);
  EXPECT_EQ(
      uncompress(reinterpret_cast<Bytef*>(out.data()), &got,
                 reinterpret_cast<const Bytef*>(block.data()), static_cast<uLong>(block.size())),
      Z_OK);
  out.resize(got);
  return out;
}

std::string Mixed(size_t size) {
  std::string text;
  uint32_t state = 12345;
  while (text.size() < size) {
    state = state * 1103515245 + 12345;
    text +=
        (state >> 16) % 5 == 0 ? static_cast<char>(state >> 8) : "mail server "[text.size() % 12];
  }
  return text;
}

// Decodes a data block through a real file, as the reader does.
struct Decoded {
  bool Ok = false;
  std::string Content;
  std::string After;  // what the input yields after the block
};

Decoded Decode(const std::string& fileBytes, const TArchiveEntry& entry, uint32_t version,
               TEntryCipher* cipher = nullptr) {
  TempFolder temp;
  PutFile(temp / "block", fileBytes);
  TArchiveInput input;
  EXPECT_TRUE(input.Open(temp / "block"));
  Decoded result;
  TEntryDecoder decoder;
  result.Ok =
      decoder.DecodeEntryData(input, entry, version, cipher, [&](const uint8_t* data, size_t size) {
        result.Content.append(reinterpret_cast<const char*>(data), size);
      });
  char buffer[64];
  size_t got = input.Read(buffer, sizeof buffer);
  result.After.assign(buffer, got);
  input.Close();
  return result;
}

TEST(EntryCodec, ChecksumIsTheCrc32OfIsoHdlc) {
  EXPECT_EQ(ContentChecksum("123456789"), 0xCBF43926u);
  EXPECT_EQ(ContentChecksum(""), 0u);
  EXPECT_EQ(ContentChecksum("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

TEST(EntryCodec, EncodingIsOneZlibStreamAtTheDefaultLevel) {
  const std::string content = Mixed(3 * 1024 * 1024 + 17);  // more than one buffer each way
  TArchiveEntry entry;
  std::string block = EncodeEntryData(content, nullptr, entry);
  ASSERT_GE(block.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(block[0]), 0x78);  // deflate, 32 KiB window
  EXPECT_EQ(static_cast<uint8_t>(block[1]), 0x9c);  // default level
  EXPECT_TRUE(Inflate(block, content.size()) == content);
  EXPECT_EQ(entry.StoredSize, block.size());
  EXPECT_EQ(entry.Checksum(), Crc32(content));
  EXPECT_FALSE(entry.Encrypted());

  TArchiveEntry empty;
  EXPECT_EQ(EncodeEntryData("", nullptr, empty), "");
  EXPECT_EQ(empty.StoredSize, 0u);
  EXPECT_EQ(empty.Checksum(), 0u);
}

TEST(EntryCodec, EncryptionKeepsTheLengthOfTheStream) {
  const std::string content = Mixed(700 * 1024 + 3);
  TArchiveEntry plainEntry, secretEntry;
  std::string plain = EncodeEntryData(content, nullptr, plainEntry);
  TEntryCipher cipher("geheim");
  std::string secret = EncodeEntryData(content, &cipher, secretEntry);
  EXPECT_TRUE(secretEntry.Encrypted());
  EXPECT_EQ(secretEntry.Checksum(), plainEntry.Checksum());
  ASSERT_EQ(secret.size(), plain.size());
  EXPECT_TRUE(secret != plain);
  // The whole stream is encrypted in one chain, whatever the encoder's pieces.
  std::string back = secret;
  TEntryCipher fresh("geheim");
  fresh.Decrypt(reinterpret_cast<uint8_t*>(back.data()), back.size());
  EXPECT_TRUE(back == plain);
  // The cipher was reset: a second entry encrypts the same way.
  TArchiveEntry again;
  EXPECT_TRUE(EncodeEntryData(content, &cipher, again) == secret);
}

TEST(EntryCodec, DecodingStreamsAndChecksTheChecksumFromVersion3) {
  const std::string content = Mixed(2 * 1024 * 1024 + 99);
  TArchiveEntry entry;
  std::string block = EncodeEntryData(content, nullptr, entry);
  Decoded good = Decode(block + "NEXT", entry, 3);
  EXPECT_TRUE(good.Ok);
  EXPECT_TRUE(good.Content == content);
  EXPECT_EQ(good.After, "NEXT");

  TArchiveEntry wrong = entry;
  wrong.SetChecksum(entry.Checksum() ^ 1);
  EXPECT_FALSE(Decode(block, wrong, 3).Ok);
  EXPECT_TRUE(Decode(block, wrong, 2).Ok);  // no checksum below version 3

  TEntryCipher cipher("pw");
  TArchiveEntry secretEntry;
  std::string secret = EncodeEntryData(content, &cipher, secretEntry);
  Decoded decrypted = Decode(secret + "NEXT", secretEntry, 3, &cipher);
  EXPECT_TRUE(decrypted.Ok);
  EXPECT_TRUE(decrypted.Content == content);
  EXPECT_EQ(decrypted.After, "NEXT");
  TEntryCipher other("wrong");
  EXPECT_FALSE(Decode(secret, secretEntry, 3, &other).Ok);
}

TEST(EntryCodec, DamagedOrCutStreamsYieldWhatCouldBeInflated) {
  const std::string content = Mixed(600 * 1024);
  std::string block = Deflate(content);
  TArchiveEntry entry;
  entry.StoredSize = static_cast<uint32_t>(block.size());
  entry.SetChecksum(Crc32(content));

  // Garbage from the middle on: the content up to the damage comes out (and
  // whatever the garbage inflates to), and the rest of the block is passed
  // over.
  std::string damaged = block;
  for (size_t i = damaged.size() / 2; i < damaged.size(); ++i)
    damaged[i] = '\xff';
  Decoded partial = Decode(damaged + "NEXT", entry, 2);
  EXPECT_TRUE(partial.Ok);
  ASSERT_GT(partial.Content.size(), 1000u);
  EXPECT_TRUE(partial.Content.compare(0, 1000, content, 0, 1000) == 0);
  EXPECT_TRUE(partial.Content != content);
  EXPECT_EQ(partial.After, "NEXT");
  EXPECT_FALSE(Decode(damaged, entry, 3).Ok);

  // A stored size beyond the end of the file: what is there is decoded, and
  // nothing near the stored size is allocated.
  TArchiveEntry huge = entry;
  huge.StoredSize = 0xFFFFFFF0u;
  std::string cut = block.substr(0, block.size() / 3);
  Decoded shortRead = Decode(cut, huge, 2);
  EXPECT_TRUE(shortRead.Ok);
  ASSERT_GT(shortRead.Content.size(), 0u);
  EXPECT_LT(shortRead.Content.size(), content.size());
  EXPECT_TRUE(shortRead.Content == content.substr(0, shortRead.Content.size()));
  EXPECT_FALSE(Decode(cut, huge, 3).Ok);

  // Bytes after the end of the zlib stream are part of the block.
  TArchiveEntry padded = entry;
  padded.StoredSize = static_cast<uint32_t>(block.size() + 5);
  Decoded withTail = Decode(block + "xxxxxNEXT", padded, 3);
  EXPECT_TRUE(withTail.Ok);
  EXPECT_TRUE(withTail.Content == content);
  EXPECT_EQ(withTail.After, "NEXT");
}

}  // namespace
