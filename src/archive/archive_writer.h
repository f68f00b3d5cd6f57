// Writes data archives of every format version, with or without a password.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "archive/entry_codec.h"
#include "platform/files.h"

class TEntryCipher;

class TArchiveWriter {
 public:
  // Version 0 has no file header (unless its first entry would begin with
  // the magic), versions 0 and 1 fixed 256-byte name fields, version 2
  // counted names, version 3 attributes with a checksum and the encrypted
  // flag. A password needs version 3 or above (std::invalid_argument).
  explicit TArchiveWriter(uint32_t version, std::string_view password = "");
  ~TArchiveWriter();
  TArchiveWriter(const TArchiveWriter&) = delete;
  TArchiveWriter& operator=(const TArchiveWriter&) = delete;

  // Creates the archive file, replacing any file of that name.
  bool Create(const std::string& path);

  // Adds one entry. The name uses `\` or `/` between folders and is stored
  // with `\`; an empty name or one longer than 255 bytes is refused
  // (std::invalid_argument). Write errors are raised (platform::IoError).
  void AddContent(std::string_view name, std::string_view content);
  // Streams the file's content; false when the source cannot be opened.
  bool AddFile(std::string_view name, const std::string& sourcePath);
  // An entry header with an empty name: readers stop there.
  void AddEndMarker();

  // Closes the file; a failure to write the rest is raised.
  void Close();

 private:
  void WriteFileHeader();
  std::string EntryHeader(const std::string& name, const TArchiveEntry& entry) const;
  void AddEntry(std::string_view name, const TByteSource& content);
  void Put(const void* data, size_t size);

  const uint32_t version_;
  std::unique_ptr<TEntryCipher> cipher_;
  TEntryEncoder encoder_;
  platform::File file_;
  uint64_t position_ = 0;
  bool headerDone_ = false;
};
