// The "ILDS" data archive: an optional file header with the format version,
// then entries of a name, (from version 3) attributes, a stored size and a
// zlib-compressed data block. All integers are little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TArchiveInput;

constexpr char kArchiveMagic[4] = {'I', 'L', 'D', 'S'};
constexpr uint32_t kArchiveHeaderSize = 9;
constexpr uint32_t kFixedNameSize = 256;  // versions below 2: length byte + 255 bytes
constexpr uint32_t kAttributesSize = 17;  // version 3 and above
constexpr uint32_t kEncryptedFlagOffset = 12;
constexpr uint32_t kChecksumOffset = 13;
constexpr size_t kMaxEntryName = 255;

// The header information; the bytes that the stored length does not reach
// stay 0. Byte 0 and bytes 5-8 carry nothing the reader uses.
struct TArchiveHeader {
  uint8_t Info[kArchiveHeaderSize] = {};

  uint32_t Version() const;
  void SetVersion(uint32_t version);
};

struct TArchiveEntry {
  std::string Name;  // at most 255 bytes, `\` between folders once normalised
  uint32_t StoredSize = 0;
  // Bytes 0-11 unused, 12 the encrypted flag, 13-16 the CRC-32 of the
  // content; all 0 below version 3.
  uint8_t Attributes[kAttributesSize] = {};

  bool Encrypted() const { return Attributes[kEncryptedFlagOffset] != 0; }
  uint32_t Checksum() const;
  void SetEncrypted(bool encrypted);
  void SetChecksum(uint32_t checksum);
};

// Reads the optional file header. Without the magic the input goes back to
// its start and the header stays zero (version 0). False when the header is
// cut short by the end of the file.
bool ReadArchiveHeader(TArchiveInput& input, TArchiveHeader& header);

// Reads one entry header in the layout of the version and normalises its
// name. False when any of its fields is cut short by the end of the file.
bool ReadEntryHeader(TArchiveInput& input, uint32_t version, TArchiveEntry& entry);

// Every `/` becomes `\`.
void NormalizeEntryName(std::string& name);

// False for a name that could lead outside the destination folder: one that
// begins with `\`, holds a `:` (drive letter or stream) or a NUL byte, or has
// a segment of two or more dots (spaces aside, which Windows drops).
bool IsSafeEntryName(std::string_view normalizedName);

uint32_t LoadLittleEndian32(const uint8_t* bytes);
void StoreLittleEndian32(uint32_t value, uint8_t* bytes);
