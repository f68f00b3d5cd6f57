// The web server configuration edit on any text: it must end, keep every
// byte that is not the replaced library name, and leave the module in both
// sections, so that a second edit changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/config_templates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string edited = WebServerConfigEdited(text);
  if (edited.find("wcs.dll") == std::string::npos) std::abort();
  if (WebServerConfigEdited(edited) != edited) std::abort();
  return 0;
}
