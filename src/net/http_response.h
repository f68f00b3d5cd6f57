// Reading an HTTP/1.1 response: the header block, header values, the
// length of the body and the chunked transfer coding. Everything here takes
// bytes from the network and so has bounds on what it keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A header block larger than this is refused, however it arrives.
inline constexpr size_t kMaxHeaderBlock = 64 * 1024;
// A chunk-size line (size and extensions) longer than this is refused.
inline constexpr size_t kMaxChunkSizeLine = 4096;

// The length of the header block up to and including the first CR LF CR LF;
// 0 while it is incomplete.
size_t HeaderBlockLength(std::string_view received);

struct TResponseHead {
  std::string StatusLine;  // first line, trimmed and lower-cased
  int StatusCode = 0;      // 0 when the status line is not "HTTP/x.y NNN ..."
};

TResponseHead ParseStatusLine(std::string_view headerBlock);

// The value of the first header line whose name is name (letter case
// ignored), trimmed; empty when absent. A name matches only at the start of
// a line, so "X-Content-Length" is not "Content-Length".
std::string HeaderValue(std::string_view headerBlock, std::string_view name);
bool HasHeader(std::string_view headerBlock, std::string_view name);

// Content-Length as an unsigned 64-bit number of decimal digits; empty when
// it is not one.
std::optional<uint64_t> ParseContentLength(std::string_view value);

// Decodes a chunked body as it arrives, piece by piece, writing the chunks'
// data through the sink. Extensions after ";" are ignored; trailers are not
// read.
class TChunkedDecoder {
 public:
  enum class State { Running, Done, Failed };

  // Feeds received bytes; calls sink(data) for each piece of chunk data.
  // Bytes after the last chunk's size line are ignored.
  template <typename Sink>
  State Feed(std::string_view bytes, Sink&& sink) {
    while (!bytes.empty() && state_ == State::Running) {
      std::string_view data = Step(bytes);
      if (!data.empty()) sink(data);
    }
    return state_;
  }
  State CurrentState() const { return state_; }

 private:
  enum class Part { SizeLine, Data, DataEnd };
  // Consumes a prefix of bytes; returns chunk data found in it.
  std::string_view Step(std::string_view& bytes);
  bool EndSizeLine();

  State state_ = State::Running;
  Part part_ = Part::SizeLine;
  std::string line_;
  uint64_t left_ = 0;
  int endBytes_ = 0;  // of the CR LF after a chunk's data
};
