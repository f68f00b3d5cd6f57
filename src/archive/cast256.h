// The CAST-256 block cipher (RFC 2612): 16-byte blocks, keys of up to 32
// bytes. Words are taken from the bytes in big-endian order, as the RFC does.
#pragma once

#include <cstddef>
#include <cstdint>

class TCast256 {
 public:
  static constexpr size_t kBlockSize = 16;
  static constexpr size_t kMaxKeySize = 32;

  // A key shorter than 32 bytes is padded with zero bytes (a 160-bit key is
  // 20 key bytes and 12 zero bytes); bytes beyond 32 are ignored.
  TCast256(const uint8_t* key, size_t keySize);

  // in and out may be the same block.
  void EncryptBlock(const uint8_t* in, uint8_t* out) const;
  void DecryptBlock(const uint8_t* in, uint8_t* out) const;

 private:
  uint32_t masking_[12][4];
  uint8_t rotation_[12][4];
};
