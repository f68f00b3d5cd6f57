#include "archive/cast256.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Hex(const std::string& text) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::string ToHex(const uint8_t* bytes, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

// The published vectors: each key encrypts the all-zero block.
TEST(Cast256, PublishedVectorsForEveryKeySize) {
  struct Vector {
    const char* key;
    const char* cipher;
  } vectors[] = {
      {"2342bb9efa38542c0af75647f29f615d", "c842a08972b43d20836c91d1b7530f6b"},
      {"2342bb9efa38542cbed0ac83940ac298bac77a7717942863", "1b386c0210dcadcbdd0e41aa08a7a7e8"},
      {"2342bb9efa38542cbed0ac83940ac2988d7c47ce264908461cc1b5137ae6b604",
       "4f6a2038286897b9c9870136553317fa"},
  };
  for (const Vector& vector : vectors) {
    std::vector<uint8_t> key = Hex(vector.key);
    TCast256 cipher(key.data(), key.size());
    uint8_t block[16] = {};
    cipher.EncryptBlock(block, block);
    EXPECT_EQ(ToHex(block, 16), vector.cipher) << "key " << vector.key;
    cipher.DecryptBlock(block, block);
    EXPECT_EQ(ToHex(block, 16), std::string(32, '0')) << "key " << vector.key;
  }
}

TEST(Cast256, ShortKeysArePaddedWithZeroBytes) {
  std::vector<uint8_t> key = Hex("0123456789abcdef0123456789abcdef01234567");  // 160 bits
  std::vector<uint8_t> padded = key;
  padded.resize(32, 0);
  TCast256 shortKey(key.data(), key.size()), longKey(padded.data(), padded.size());
  uint8_t a[16], b[16];
  for (int i = 0; i < 16; ++i)
    a[i] = b[i] = static_cast<uint8_t>(i * 7);
  shortKey.EncryptBlock(a, a);
  longKey.EncryptBlock(b, b);
  EXPECT_EQ(ToHex(a, 16), ToHex(b, 16));
  // Bytes past 32 do not count.
  std::vector<uint8_t> longer = padded;
  longer.push_back(0x55);
  TCast256 cut(longer.data(), longer.size());
  for (int i = 0; i < 16; ++i)
    b[i] = static_cast<uint8_t>(i * 7);
  cut.EncryptBlock(b, b);
  EXPECT_EQ(ToHex(a, 16), ToHex(b, 16));
}

TEST(Cast256, DecryptionInvertsEncryptionAndKeysMatter) {
  std::mt19937 random(2612);
  for (int round = 0; round < 50; ++round) {
    uint8_t key[32], plain[16], block[16];
    size_t keySize = 16 + 4 * (round % 5);
    for (auto& b : key)
      b = static_cast<uint8_t>(random());
    for (auto& b : plain)
      b = static_cast<uint8_t>(random());
    TCast256 cipher(key, keySize);
    cipher.EncryptBlock(plain, block);
    EXPECT_NE(0, std::memcmp(plain, block, 16));
    uint8_t again[16];
    cipher.DecryptBlock(block, again);
    EXPECT_EQ(0, std::memcmp(plain, again, 16));
    key[0] ^= 1;
    TCast256 other(key, keySize);
    uint8_t different[16];
    other.EncryptBlock(plain, different);
    EXPECT_NE(0, std::memcmp(block, different, 16));
  }
}

}  // namespace
