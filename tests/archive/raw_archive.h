// Archive bytes built by hand, field by field, with zlib's own compress2 and
// crc32: the reader's tests do not lean on our writer.
#pragma once

#include <cstdint>
#include <string>

std::string Le32(uint32_t value);
// "ILDS", the length N and N bytes of header information (version at 1-4).
std::string RawFileHeader(uint32_t version, uint32_t length = 9);
// An entry header in the layout of the version.
std::string RawEntryHeader(uint32_t version, const std::string& name, uint32_t storedSize,
                           uint32_t checksum = 0, bool encrypted = false);
std::string Deflate(const std::string& content);
uint32_t Crc32(const std::string& content);
// Header and data block of a plain entry with the right checksum.
std::string RawEntry(uint32_t version, const std::string& name, const std::string& content);
