// Configuration lines and version strings come from files an administrator
// or an older version wrote: no line may crash or hang the text routines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/config_text.h"
#include "support/fields.h"
#include "support/search.h"
#include "support/version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\n');
  std::string first = input.substr(0, split);
  std::string second = split == std::string::npos ? std::string() : input.substr(split + 1);

  std::string stripped = StripComments(input);
  if (stripped.size() > input.size()) __builtin_trap();
  (void)StrToIntLoose(input);
  (void)VersionAtLeast(first, second);
  std::vector<std::string> pieces;
  SplitString(input, ';', pieces, size % 2 == 0);
  for (int index = -1; index < 4; ++index)
    (void)GetField(input, index, '=', index % 2 == 0);
  (void)WildcardMatch(first, second);
  (void)FindText(first, second, static_cast<int>(size % 7) - 2, static_cast<int>(size % 5), true);
  std::string replaced = second;
  ReplaceText(replaced, first, "x", size % 3 == 0, true);
  return 0;
}
