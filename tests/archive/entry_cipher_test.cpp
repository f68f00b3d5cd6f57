#include "archive/entry_cipher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/cast256.h"
#include "platform/crypto.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Sample(size_t size) {
  Bytes data(size);
  for (size_t i = 0; i < size; ++i)
    data[i] = static_cast<uint8_t>(i * 31 + 7);
  return data;
}

// The chaining worked out by hand from the block cipher: key = SHA-1 of the
// password, F starts as E(16 x 0xFF); full blocks X = E(P ^ F), F ^= X; a
// last partial block is masked with T = E(F), then F = T ^ F.
Bytes EncryptByHand(const std::string& password, const Bytes& plain) {
  platform::Sha1Digest key = platform::Sha1(password);
  TCast256 cipher(key.data(), key.size());
  uint8_t f[16];
  std::memset(f, 0xFF, 16);
  cipher.EncryptBlock(f, f);
  Bytes out = plain;
  size_t i = 0;
  for (; i + 16 <= out.size(); i += 16) {
    uint8_t x[16];
    for (int j = 0; j < 16; ++j)
      x[j] = static_cast<uint8_t>(out[i + j] ^ f[j]);
    cipher.EncryptBlock(x, x);
    for (int j = 0; j < 16; ++j) {
      out[i + j] = x[j];
      f[j] ^= x[j];
    }
  }
  if (i < out.size()) {
    uint8_t t[16];
    cipher.EncryptBlock(f, t);
    for (size_t j = 0; i + j < out.size(); ++j)
      out[i + j] ^= t[j];
  }
  return out;
}

TEST(EntryCipher, FollowsTheChainingOfTheFormat) {
  for (size_t size : {0u, 5u, 16u, 37u, 64u}) {
    Bytes data = Sample(size);
    TEntryCipher cipher("secret");
    cipher.Encrypt(data.data(), data.size());
    EXPECT_EQ(data, EncryptByHand("secret", Sample(size))) << size << " bytes";
    cipher.Reset();
    cipher.Decrypt(data.data(), data.size());
    EXPECT_EQ(data, Sample(size)) << size << " bytes";
  }
}

TEST(EntryCipher, PiecesOfWholeBlocksChainLikeOneCall) {
  Bytes whole = Sample(16 * 9 + 11);
  TEntryCipher once("pw");
  once.Encrypt(whole.data(), whole.size());

  Bytes pieces = Sample(whole.size());
  TEntryCipher chained("pw");
  chained.Encrypt(pieces.data(), 16);
  chained.Encrypt(pieces.data() + 16, 64);
  chained.Encrypt(pieces.data() + 80, pieces.size() - 80);
  EXPECT_EQ(pieces, whole);

  TEntryCipher back("pw");
  back.Decrypt(pieces.data(), 48);
  back.Decrypt(pieces.data() + 48, pieces.size() - 48);
  EXPECT_EQ(pieces, Sample(whole.size()));
}

TEST(EntryCipher, ResetStartsEveryEntryAfresh) {
  TEntryCipher cipher("pw");
  Bytes first = Sample(40), second = Sample(40);
  cipher.Encrypt(first.data(), first.size());
  Bytes withoutReset = Sample(40);
  cipher.Encrypt(withoutReset.data(), withoutReset.size());
  EXPECT_NE(withoutReset, first);  // the chain goes on
  cipher.Reset();
  cipher.Encrypt(second.data(), second.size());
  EXPECT_EQ(second, first);
}

TEST(EntryCipher, ThePasswordIsTheKey) {
  Bytes a = Sample(32), b = Sample(32), c = Sample(32);
  TEntryCipher("pw").Encrypt(a.data(), a.size());
  TEntryCipher("pW").Encrypt(b.data(), b.size());
  TEntryCipher("pw").Encrypt(c.data(), c.size());
  EXPECT_NE(a, b);
  EXPECT_EQ(a, c);
}

}  // namespace
