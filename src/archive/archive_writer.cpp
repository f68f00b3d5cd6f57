#include "archive/archive_writer.h"

#include <cstring>
#include <stdexcept>

#include "archive/archive_format.h"
#include "archive/entry_cipher.h"

TArchiveWriter::TArchiveWriter(uint32_t version, std::string_view password) : version_(version) {
  if (!password.empty()) {
    if (version < 3) throw std::invalid_argument("encrypted entries need format version 3");
    cipher_ = std::make_unique<TEntryCipher>(password);
  }
}

TArchiveWriter::~TArchiveWriter() = default;

bool TArchiveWriter::Create(const std::string& path) {
  position_ = 0;
  headerDone_ = false;
  if (!file_.Open(path, platform::FileMode::Create)) return false;
  if (version_ > 0) WriteFileHeader();
  return true;
}

void TArchiveWriter::Put(const void* data, size_t size) {
  file_.Write(data, size);
  position_ += size;
}

void TArchiveWriter::WriteFileHeader() {
  TArchiveHeader header;
  header.SetVersion(version_);
  uint8_t bytes[8];
  std::memcpy(bytes, kArchiveMagic, 4);
  StoreLittleEndian32(kArchiveHeaderSize, bytes + 4);
  Put(bytes, sizeof bytes);
  Put(header.Info, kArchiveHeaderSize);
  headerDone_ = true;
}

std::string TArchiveWriter::EntryHeader(const std::string& name, const TArchiveEntry& entry) const {
  std::string header;
  header += static_cast<char>(name.size());
  header += name;
  if (version_ < 2) header.resize(kFixedNameSize, '\0');
  if (version_ >= 3)
    header.append(reinterpret_cast<const char*>(entry.Attributes), kAttributesSize);
  uint8_t size[4];
  StoreLittleEndian32(entry.StoredSize, size);
  header.append(reinterpret_cast<const char*>(size), 4);
  return header;
}

void TArchiveWriter::AddEntry(std::string_view name, const TByteSource& content) {
  std::string stored(name);
  NormalizeEntryName(stored);
  if (stored.empty()) throw std::invalid_argument("an entry needs a name");
  if (stored.size() > kMaxEntryName)
    throw std::invalid_argument("entry name longer than 255 bytes: " + stored);

  TArchiveEntry entry;
  entry.Name = stored;
  std::string header = EntryHeader(stored, entry);
  // Without a header a version-0 archive must not begin with the magic, or
  // it would be taken for one with a header.
  if (!headerDone_) {
    if (header.compare(0, 4, kArchiveMagic, 4) == 0) WriteFileHeader();
    headerDone_ = true;
  }
  const uint64_t headerAt = position_;
  Put(header.data(), header.size());
  encoder_.EncodeEntryData(
      content, cipher_.get(), [this](const uint8_t* data, size_t size) { Put(data, size); }, entry);
  // The size and the checksum are known only now.
  const uint64_t end = position_;
  header = EntryHeader(stored, entry);
  file_.Seek(headerAt);
  file_.Write(header.data(), header.size());
  file_.Seek(end);
}

void TArchiveWriter::AddContent(std::string_view name, std::string_view content) {
  size_t offset = 0;
  AddEntry(name, [&](uint8_t* buffer, size_t size) {
    size_t piece = std::min(size, content.size() - offset);
    std::memcpy(buffer, content.data() + offset, piece);
    offset += piece;
    return piece;
  });
}

bool TArchiveWriter::AddFile(std::string_view name, const std::string& sourcePath) {
  platform::File source;
  if (!source.Open(sourcePath, platform::FileMode::Read)) return false;
  AddEntry(name, [&](uint8_t* buffer, size_t size) { return source.Read(buffer, size); });
  return true;
}

void TArchiveWriter::AddEndMarker() {
  if (!headerDone_) headerDone_ = true;
  TArchiveEntry entry;
  std::string header = EntryHeader(std::string(), entry);
  Put(header.data(), header.size());
}

void TArchiveWriter::Close() {
  file_.Close();
}
