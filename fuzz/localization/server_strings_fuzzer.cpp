// "strings.dat" lies in the server's configuration folder, where an
// administrator edits it by hand: no line may crash or hang the reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "localization/server_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TLocalizationStrings registry;
  std::string narrow;
  std::u16string wide;
  RegisterString("a", narrow, registry);
  RegisterString("key", wide, registry);
  ApplyServerStrings(text, registry);

  // Every character of a value comes from at least one byte of its line.
  std::string key;
  std::u16string value;
  if (ParseServerStringLine(text, key, value) && (key.empty() || value.size() > text.size()))
    __builtin_trap();
  if (DecodeServerStringValue(text).size() > text.size()) __builtin_trap();
  return 0;
}
