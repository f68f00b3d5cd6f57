// The response reader on arbitrary server bytes: the header block, header
// values, Content-Length, and the chunked decoder fed in uneven pieces.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/http_response.h"
#include "net/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t headerLength = HeaderBlockLength(input);
  std::string_view header = input.substr(0, headerLength ? headerLength : input.size());
  TResponseHead head = ParseStatusLine(header);
  (void)head;
  std::string length = HeaderValue(header, "Content-Length");
  (void)ParseContentLength(length);
  (void)HasHeader(header, "Transfer-Encoding");
  std::string location = HeaderValue(header, "Location");
  if (!HasUnsafeBytes(location)) (void)ResolveRedirect("/a/b/c?d", location);
  (void)ParseUrl(location, "");

  std::string_view body = input.substr(headerLength);
  TChunkedDecoder decoder;
  uint64_t decoded = 0;
  size_t piece = size % 7 + 1;
  for (size_t i = 0; i < body.size(); i += piece) {
    decoder.Feed(body.substr(i, piece), [&](std::string_view chunk) {
      if (chunk.empty() || chunk.data() < body.data() ||
          chunk.data() + chunk.size() > body.data() + body.size())
        __builtin_trap();
      decoded += chunk.size();
    });
  }
  if (decoded > body.size()) __builtin_trap();
  return 0;
}
