// A language file comes from a translator or from whoever put it into the
// distribution folder: no content may crash or hang the import, and what an
// import leaves behind must export and import again to the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/windows.h"
#include "localization/component_captions.h"
#include "localization/language_file.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "localization/setup_strings.h"
#include "support/xml_object.h"

namespace {

void Reset() {
  LanguageState() = TLanguageState{};
  ClearStrings();
  ClearComponentCaptions();
  ResetMessageTable();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reset();
  CreateApplicationWindows();
  RegisterSetupStrings();

  TXMLObject document;
  document.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  ImportLanguageDocument(document, true);
  WriteComponentCaptions();

  const std::string first = LanguageFileText(true);
  TXMLObject again;
  again.Parse(first);
  ImportLanguageDocument(again, true);
  if (LanguageFileText(true) != first) __builtin_trap();

  DestroyApplicationWindows();
  Reset();
  return 0;
}
