#include "archive/entry_cipher.h"

#include <cstring>

#include "platform/crypto.h"

namespace {

constexpr size_t kBlock = TCast256::kBlockSize;

TCast256 KeyedCipher(std::string_view password) {
  platform::Sha1Digest key = platform::Sha1(password);
  return TCast256(key.data(), key.size());
}

}  // namespace

TEntryCipher::TEntryCipher(std::string_view password) : cipher_(KeyedCipher(password)) {
  std::memset(initialVector_, 0xFF, kBlock);
  cipher_.EncryptBlock(initialVector_, initialVector_);
  Reset();
}

void TEntryCipher::Reset() {
  std::memcpy(feedback_, initialVector_, kBlock);
}

void TEntryCipher::Encrypt(uint8_t* data, size_t size) {
  for (; size >= kBlock; data += kBlock, size -= kBlock) {
    for (size_t i = 0; i < kBlock; ++i)
      data[i] ^= feedback_[i];
    cipher_.EncryptBlock(data, data);
    for (size_t i = 0; i < kBlock; ++i)
      feedback_[i] ^= data[i];
  }
  if (size > 0) PartialBlock(data, size);
}

void TEntryCipher::Decrypt(uint8_t* data, size_t size) {
  uint8_t stored[kBlock];
  for (; size >= kBlock; data += kBlock, size -= kBlock) {
    std::memcpy(stored, data, kBlock);
    cipher_.DecryptBlock(data, data);
    for (size_t i = 0; i < kBlock; ++i) {
      data[i] ^= feedback_[i];
      feedback_[i] ^= stored[i];
    }
  }
  if (size > 0) PartialBlock(data, size);
}

// The same in both directions: the bytes are masked with E(F), and F takes
// in the mask.
void TEntryCipher::PartialBlock(uint8_t* data, size_t size) {
  uint8_t mask[kBlock];
  cipher_.EncryptBlock(feedback_, mask);
  for (size_t i = 0; i < size; ++i)
    data[i] ^= mask[i];
  for (size_t i = 0; i < kBlock; ++i)
    feedback_[i] ^= mask[i];
}
