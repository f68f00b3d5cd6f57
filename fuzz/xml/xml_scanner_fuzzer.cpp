// The tag scanner reads downloaded and shipped documents too. The first line
// of an input is the tag name searched for; the first byte picks the text
// mode and whether whole elements are returned.
#include <cstddef>
#include <cstdint>
#include <string>

#include "support/xml_scanner.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const TXMLMode mode = size > 0 ? static_cast<TXMLMode>(data[0] % 4) : 0;
  const bool whole = size > 0 && (data[0] & 4) != 0;
  size_t split = input.find('\n');
  std::string tag = split == std::string::npos ? input.substr(0, 8) : input.substr(0, split);
  std::string document = split == std::string::npos ? input : input.substr(split + 1);
  if (!tag.empty()) tag.erase(0, 1);

  TXMLType cursor;
  InitXMLText(cursor, document, tag);
  std::string result;
  size_t previous = 0;
  size_t total = 0;
  bool found = FindElement(cursor, tag, result, mode, whole);
  // Each element found lies behind the one before: a reading loop ends, and
  // the results together are no longer than the document (decoding and
  // the ANSI conversion only shrink text).
  while (found) {
    Check(cursor.Position > previous && cursor.Position <= document.size());
    total += result.size();
    Check(total <= document.size());
    previous = cursor.Position;

    TXMLAttributes attributes;
    ParseTagAttributes(result, attributes, mode);
    size_t bytes = 0;
    for (const TXMLAttribute& attribute : attributes)
      bytes += attribute.Name.size() + attribute.Value.size();
    Check(bytes <= 2 * result.size());
    found = FindNextElement(cursor, result, whole, mode);
  }
  Check(result.empty());

  // Every tag of the document through the attribute readers.
  size_t start = document.find('<');
  while (start != std::string::npos) {
    size_t end = document.find('>', start);
    std::string_view piece = std::string_view(document).substr(
        start, end == std::string::npos ? std::string::npos : end + 1 - start);
    TXMLAttributes attributes;
    ParseTagAttributes(piece, attributes, mode);
    size_t bytes = 0;
    for (const TXMLAttribute& attribute : attributes)
      bytes += attribute.Name.size() + attribute.Value.size();
    Check(bytes <= 2 * piece.size());
    Check(TagAttribute(piece, tag, mode).size() <= piece.size());
    if (end == std::string::npos) break;
    start = document.find('<', end);
  }
  // The whole input as one tag, too.
  TXMLAttributes attributes;
  ParseTagAttributes(input, attributes, mode);
  (void)TagAttribute(input, tag, mode);
  return 0;
}
