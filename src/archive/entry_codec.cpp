#include "archive/entry_codec.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "archive/archive_input.h"
#include "archive/entry_cipher.h"

namespace {

// The input piece is a whole number of cipher blocks, so that only the last
// piece of an entry can hold a partial block.
constexpr size_t kInputPiece = 256 * 1024;
constexpr size_t kOutputPiece = 1024 * 1024;
static_assert(kInputPiece % TCast256::kBlockSize == 0);

uInt ZlibSize(size_t size) {
  return static_cast<uInt>(size);
}

}  // namespace

uint32_t ContentChecksum(std::string_view content) {
  uLong crc = crc32(0L, Z_NULL, 0);
  const Bytef* bytes = reinterpret_cast<const Bytef*>(content.data());
  size_t left = content.size();
  while (left > 0) {
    uInt piece = ZlibSize(std::min<size_t>(left, 1u << 30));
    crc = crc32(crc, bytes, piece);
    bytes += piece;
    left -= piece;
  }
  return static_cast<uint32_t>(crc);
}

struct TEntryDecoder::Stream {
  z_stream zlib{};
  std::vector<uint8_t> input = std::vector<uint8_t>(kInputPiece);
  std::vector<uint8_t> output = std::vector<uint8_t>(kOutputPiece);

  Stream() {
    if (inflateInit(&zlib) != Z_OK) throw std::bad_alloc();
  }
  ~Stream() { inflateEnd(&zlib); }
};

TEntryDecoder::TEntryDecoder() : stream_(std::make_unique<Stream>()) {}
TEntryDecoder::~TEntryDecoder() = default;

bool TEntryDecoder::DecodeEntryData(TArchiveInput& input, const TArchiveEntry& entry,
                                    uint32_t version, TEntryCipher* cipher, const TByteSink& sink) {
  z_stream& zlib = stream_->zlib;
  uint8_t* in = stream_->input.data();
  uint8_t* out = stream_->output.data();
  const bool decrypt = entry.Encrypted() && cipher != nullptr;
  inflateReset(&zlib);
  uLong crc = crc32(0L, Z_NULL, 0);
  auto flush = [&](size_t size) {
    if (size == 0) return;
    crc = crc32(crc, out, ZlibSize(size));
    sink(out, size);
  };

  uint64_t remaining = entry.StoredSize;
  bool inflating = true;
  zlib.next_out = out;
  zlib.avail_out = ZlibSize(kOutputPiece);
  while (remaining > 0 && inflating) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(remaining, kInputPiece));
    size_t got = input.Read(in, want);
    remaining = got < want ? 0 : remaining - got;
    if (got == 0) break;
    if (decrypt) cipher->Decrypt(in, got);
    zlib.next_in = in;
    zlib.avail_in = ZlibSize(got);
    for (;;) {
      int result = inflate(&zlib, Z_NO_FLUSH);
      bool outputFull = zlib.avail_out == 0;
      if (outputFull) {
        flush(kOutputPiece);
        zlib.next_out = out;
        zlib.avail_out = ZlibSize(kOutputPiece);
      }
      if (result == Z_STREAM_END) {
        inflating = false;
        break;
      }
      // A damaged stream: what was inflated up to here is the content.
      bool stuck = result == Z_BUF_ERROR && !outputFull && zlib.avail_in != 0;
      if ((result != Z_OK && result != Z_BUF_ERROR) || stuck) {
        inflating = false;
        break;
      }
      if (zlib.avail_in == 0 && !outputFull) break;
    }
  }
  flush(kOutputPiece - zlib.avail_out);
  // Bytes after the end of the stream belong to the block all the same.
  if (remaining > 0) input.Skip(remaining);
  if (decrypt) cipher->Reset();
  return version < 3 || static_cast<uint32_t>(crc) == entry.Checksum();
}

struct TEntryEncoder::Stream {
  z_stream zlib{};
  std::vector<uint8_t> input = std::vector<uint8_t>(kInputPiece);
  std::vector<uint8_t> output = std::vector<uint8_t>(kOutputPiece);

  Stream() {
    if (deflateInit(&zlib, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::bad_alloc();
  }
  ~Stream() { deflateEnd(&zlib); }
};

TEntryEncoder::TEntryEncoder() : stream_(std::make_unique<Stream>()) {}
TEntryEncoder::~TEntryEncoder() = default;

void TEntryEncoder::EncodeEntryData(const TByteSource& content, TEntryCipher* cipher,
                                    const TByteSink& sink, TArchiveEntry& entry) {
  z_stream& zlib = stream_->zlib;
  uint8_t* in = stream_->input.data();
  uint8_t* out = stream_->output.data();
  deflateReset(&zlib);
  uLong crc = crc32(0L, Z_NULL, 0);
  uint64_t stored = 0;
  // Bytes of the block kept back until a whole cipher block is there.
  size_t pending = 0;
  bool any = false;

  auto emit = [&](bool last) {
    size_t size = kOutputPiece - zlib.avail_out;
    size_t ready = last || !cipher ? size : size - size % TCast256::kBlockSize;
    if (ready > 0) {
      if (cipher) cipher->Encrypt(out, ready);
      stored += ready;
      if (stored > std::numeric_limits<uint32_t>::max())
        throw std::length_error("the compressed entry exceeds 4 GiB");
      sink(out, ready);
    }
    pending = size - ready;
    std::memmove(out, out + ready, pending);
    zlib.next_out = out + pending;
    zlib.avail_out = ZlibSize(kOutputPiece - pending);
  };

  zlib.next_out = out;
  zlib.avail_out = ZlibSize(kOutputPiece);
  for (;;) {
    size_t got = content(in, kInputPiece);
    if (got == 0) break;
    if (!any && cipher) cipher->Reset();
    any = true;
    crc = crc32(crc, in, ZlibSize(got));
    zlib.next_in = in;
    zlib.avail_in = ZlibSize(got);
    while (zlib.avail_in > 0) {
      deflate(&zlib, Z_NO_FLUSH);
      if (zlib.avail_out == 0) emit(false);
    }
  }
  if (any) {
    int result;
    do {
      result = deflate(&zlib, Z_FINISH);
      if (result == Z_STREAM_ERROR) throw std::runtime_error("compression failed");
      if (zlib.avail_out == 0 || result == Z_STREAM_END) emit(result == Z_STREAM_END);
    } while (result != Z_STREAM_END);
    if (cipher) cipher->Reset();
  }
  entry.SetEncrypted(cipher != nullptr);
  entry.SetChecksum(static_cast<uint32_t>(crc));
  entry.StoredSize = static_cast<uint32_t>(stored);
}

std::string EncodeEntryData(std::string_view content, TEntryCipher* cipher, TArchiveEntry& entry) {
  TEntryEncoder encoder;
  std::string block;
  size_t offset = 0;
  encoder.EncodeEntryData(
      [&](uint8_t* buffer, size_t size) {
        size_t piece = std::min(size, content.size() - offset);
        std::memcpy(buffer, content.data() + offset, piece);
        offset += piece;
        return piece;
      },
      cipher,
      [&](const uint8_t* data, size_t size) {
        block.append(reinterpret_cast<const char*>(data), size);
      },
      entry);
  return block;
}
