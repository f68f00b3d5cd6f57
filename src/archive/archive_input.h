// Front-to-back reading of an archive file through one large buffer, so that
// small entry headers cost no system call each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"

class TArchiveInput {
 public:
  TArchiveInput();

  // Opens the file for reading only; false when it cannot be opened.
  bool Open(const std::string& path);
  void Close();

  // Reads up to size bytes; fewer only at the end of the file. A read error
  // is raised (platform::IoError).
  size_t Read(void* buffer, size_t size);
  // Moves on by size bytes without reading them; returns how many were there.
  uint64_t Skip(uint64_t size);
  // True when no byte is left.
  bool AtEnd();
  // Back to the first byte of the file.
  void Rewind();

 private:
  bool Fill();

  platform::File file_;
  std::vector<uint8_t> buffer_;
  size_t begin_ = 0, end_ = 0;
  uint64_t fileSize_ = 0;
  uint64_t filePosition_ = 0;  // of the byte after the buffered ones
};
