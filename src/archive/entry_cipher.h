// The cipher of encrypted archive entries: CAST-256 keyed with the SHA-1
// digest of the password, in the archive's own chaining with a 16-byte
// feedback register that every entry starts afresh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "archive/cast256.h"

class TEntryCipher {
 public:
  explicit TEntryCipher(std::string_view password);

  // Continue the chain of the current entry over data, in place. Every call
  // but the entry's last must pass a whole number of 16-byte blocks; a rest
  // of fewer than 16 bytes is the entry's last, partial block.
  void Encrypt(uint8_t* data, size_t size);
  void Decrypt(uint8_t* data, size_t size);
  // Back to the initial vector, for the next entry.
  void Reset();

 private:
  void PartialBlock(uint8_t* data, size_t size);

  TCast256 cipher_;
  uint8_t initialVector_[TCast256::kBlockSize];
  uint8_t feedback_[TCast256::kBlockSize];
};
