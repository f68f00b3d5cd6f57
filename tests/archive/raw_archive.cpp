#include "raw_archive.h"

#include <zlib.h>

#include <stdexcept>

std::string Le32(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<char>(value >> (8 * i));
  return bytes;
}

std::string RawFileHeader(uint32_t version, uint32_t length) {
  std::string info = std::string(1, '\0') + Le32(version) + std::string(4, '\0');
  info.resize(length, '\0');
  return "ILDS" + Le32(length) + info;
}

std::string RawEntryHeader(uint32_t version, const std::string& name, uint32_t storedSize,
                           uint32_t checksum, bool encrypted) {
  std::string header(1, static_cast<char>(name.size()));
  header += name;
  if (version < 2) header.resize(256, '\0');
  if (version >= 3) {
    header += std::string(12, '\0');
    header += encrypted ? '\1' : '\0';
    header += Le32(checksum);
  }
  return header + Le32(storedSize);
}

std::string Deflate(const std::string& content) {
  uLongf size = compressBound(static_cast<uLong>(content.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(content.data()), static_cast<uLong>(content.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    throw std::runtime_error("compress2 failed");
  out.resize(size);
  return out;
}

uint32_t Crc32(const std::string& content) {
  return static_cast<uint32_t>(crc32(crc32(0, Z_NULL, 0),
                                     reinterpret_cast<const Bytef*>(content.data()),
                                     static_cast<uInt>(content.size())));
}

std::string RawEntry(uint32_t version, const std::string& name, const std::string& content) {
  std::string block = content.empty() ? std::string() : Deflate(content);
  return RawEntryHeader(version, name, static_cast<uint32_t>(block.size()), Crc32(content)) + block;
}
