#include "platform/crypto.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ToHex(const platform::Sha1Digest& digest) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t b : digest) {
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

TEST(Crypto, Sha1OfTheStandardMessages) {
  EXPECT_EQ(ToHex(platform::Sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  EXPECT_EQ(ToHex(platform::Sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(ToHex(platform::Sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(ToHex(platform::Sha1(std::string(1000000, 'a'))),
            "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
  // Bytes above 127 and NUL are hashed as they are.
  EXPECT_NE(ToHex(platform::Sha1(std::string("\xe4\0", 2))), ToHex(platform::Sha1("\xe4")));
}

}  // namespace
