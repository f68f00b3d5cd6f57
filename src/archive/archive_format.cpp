#include "archive/archive_format.h"

#include <cstring>

#include "archive/archive_input.h"

uint32_t LoadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void StoreLittleEndian32(uint32_t value, uint8_t* bytes) {
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t TArchiveHeader::Version() const {
  return LoadLittleEndian32(Info + 1);
}
void TArchiveHeader::SetVersion(uint32_t version) {
  StoreLittleEndian32(version, Info + 1);
}

uint32_t TArchiveEntry::Checksum() const {
  return LoadLittleEndian32(Attributes + kChecksumOffset);
}
void TArchiveEntry::SetChecksum(uint32_t checksum) {
  StoreLittleEndian32(checksum, Attributes + kChecksumOffset);
}
void TArchiveEntry::SetEncrypted(bool encrypted) {
  Attributes[kEncryptedFlagOffset] = encrypted ? 1 : 0;
}

bool ReadArchiveHeader(TArchiveInput& input, TArchiveHeader& header) {
  header = TArchiveHeader();
  uint8_t start[8];
  size_t got = input.Read(start, sizeof start);
  if (got < 4 || std::memcmp(start, kArchiveMagic, 4) != 0) {
    input.Rewind();
    return true;
  }
  if (got < 8) return false;
  uint32_t length = LoadLittleEndian32(start + 4);
  uint32_t stored = length < kArchiveHeaderSize ? length : kArchiveHeaderSize;
  if (input.Read(header.Info, stored) != stored) return false;
  // A longer header of a later writer: its surplus is passed over.
  if (length > stored && input.Skip(length - stored) != length - stored) return false;
  return true;
}

bool ReadEntryHeader(TArchiveInput& input, uint32_t version, TArchiveEntry& entry) {
  entry = TArchiveEntry();
  if (version < 2) {
    uint8_t field[kFixedNameSize];
    if (input.Read(field, sizeof field) != sizeof field) return false;
    entry.Name.assign(reinterpret_cast<const char*>(field + 1), field[0]);
  } else {
    uint8_t length = 0;
    if (input.Read(&length, 1) != 1) return false;
    entry.Name.resize(length);
    if (input.Read(entry.Name.data(), length) != length) return false;
  }
  NormalizeEntryName(entry.Name);
  if (version >= 3 && input.Read(entry.Attributes, kAttributesSize) != kAttributesSize)
    return false;
  uint8_t size[4];
  if (input.Read(size, sizeof size) != sizeof size) return false;
  entry.StoredSize = LoadLittleEndian32(size);
  return true;
}

void NormalizeEntryName(std::string& name) {
  for (char& c : name)
    if (c == '/') c = '\\';
}

bool IsSafeEntryName(std::string_view name) {
  if (name.empty() || name.front() == '\\') return false;
  if (name.find(':') != std::string_view::npos) return false;
  if (name.find('\0') != std::string_view::npos) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('\\', start);
    if (end == std::string_view::npos) end = name.size();
    std::string_view segment = name.substr(start, end - start);
    size_t dots = 0;
    bool onlyDotsAndSpaces = true;
    for (char c : segment) {
      if (c == '.')
        ++dots;
      else if (c != ' ')
        onlyDotsAndSpaces = false;
    }
    if (onlyDotsAndSpaces && dots >= 2) return false;
    start = end + 1;
  }
  return true;
}
