// The data block of one entry: the content as one zlib stream (RFC 1950) at
// zlib's default level, encrypted as a whole when the entry is encrypted.
// Both directions work in bounded pieces, so memory does not grow with the
// size of an entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "archive/archive_format.h"

class TArchiveInput;
class TEntryCipher;

// Receives content (decoding) or the data block (encoding) piece by piece.
using TByteSink = std::function<void(const uint8_t* data, size_t size)>;
// Fills up to size bytes and returns how many; 0 at the end.
using TByteSource = std::function<size_t(uint8_t* buffer, size_t size)>;

class TEntryDecoder {
 public:
  TEntryDecoder();
  ~TEntryDecoder();
  TEntryDecoder(const TEntryDecoder&) = delete;
  TEntryDecoder& operator=(const TEntryDecoder&) = delete;

  // Reads the entry's data block of entry.StoredSize bytes (less when the
  // file ends first), decrypts it with cipher when the entry is encrypted,
  // inflates it and hands the content to sink. A damaged or cut stream
  // yields what could be inflated. From version 3 on the CRC-32 of the
  // content must match the entry's checksum, else the result is false;
  // below version 3 decoding always succeeds. The cipher's chaining is reset
  // afterwards. Errors of the input or the sink are raised.
  bool DecodeEntryData(TArchiveInput& input, const TArchiveEntry& entry, uint32_t version,
                       TEntryCipher* cipher, const TByteSink& sink);

 private:
  struct Stream;
  std::unique_ptr<Stream> stream_;
};

class TEntryEncoder {
 public:
  TEntryEncoder();
  ~TEntryEncoder();
  TEntryEncoder(const TEntryEncoder&) = delete;
  TEntryEncoder& operator=(const TEntryEncoder&) = delete;

  // The writer's twin of DecodeEntryData: stores in entry the encrypted flag
  // (set exactly when cipher is given), the CRC-32 of the content and the
  // stored size, and hands the data block to sink. Empty content gives an
  // empty block, the format's form of an empty file. Throws
  // std::length_error when the block would not fit its 32-bit size.
  void EncodeEntryData(const TByteSource& content, TEntryCipher* cipher, const TByteSink& sink,
                       TArchiveEntry& entry);

 private:
  struct Stream;
  std::unique_ptr<Stream> stream_;
};

// In-memory forms, for small contents.
std::string EncodeEntryData(std::string_view content, TEntryCipher* cipher, TArchiveEntry& entry);

// CRC-32 (ISO-HDLC, as zlib computes it) of the bytes.
uint32_t ContentChecksum(std::string_view content);
