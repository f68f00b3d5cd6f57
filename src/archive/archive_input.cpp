#include "archive/archive_input.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kBufferSize = 256 * 1024;
}

TArchiveInput::TArchiveInput() : buffer_(kBufferSize) {}

bool TArchiveInput::Open(const std::string& path) {
  begin_ = end_ = 0;
  filePosition_ = 0;
  if (!file_.Open(path, platform::FileMode::Read)) return false;
  fileSize_ = file_.Size();
  return true;
}

void TArchiveInput::Close() {
  // Nothing was written, so a failing close loses nothing.
  try {
    file_.Close();
  } catch (const platform::IoError&) {
  }
}

bool TArchiveInput::Fill() {
  begin_ = 0;
  end_ = file_.Read(buffer_.data(), buffer_.size());
  filePosition_ += end_;
  return end_ > 0;
}

size_t TArchiveInput::Read(void* buffer, size_t size) {
  uint8_t* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < size) {
    if (begin_ == end_) {
      // Large requests bypass the buffer.
      if (size - done >= buffer_.size()) {
        size_t got = file_.Read(out + done, size - done);
        filePosition_ += got;
        if (got == 0) break;
        done += got;
        continue;
      }
      if (!Fill()) break;
    }
    size_t piece = std::min(size - done, end_ - begin_);
    std::memcpy(out + done, buffer_.data() + begin_, piece);
    begin_ += piece;
    done += piece;
  }
  return done;
}

uint64_t TArchiveInput::Skip(uint64_t size) {
  uint64_t buffered = end_ - begin_;
  if (size <= buffered) {
    begin_ += static_cast<size_t>(size);
    return size;
  }
  begin_ = end_ = 0;
  uint64_t left = size - buffered;
  uint64_t available = fileSize_ > filePosition_ ? fileSize_ - filePosition_ : 0;
  filePosition_ += left;
  file_.Seek(filePosition_);
  return buffered + std::min(left, available);
}

bool TArchiveInput::AtEnd() {
  return begin_ == end_ && !Fill();
}

void TArchiveInput::Rewind() {
  begin_ = end_ = 0;
  filePosition_ = 0;
  file_.Seek(0);
}
