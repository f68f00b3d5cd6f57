// The built-in English texts again: no language file loaded, no strings or
// component captions read, the message table as compiled in. Tests of the
// texts share these globals with the code under test.
#pragma once

#include "localization/component_captions.h"
#include "localization/language_state.h"
#include "localization/message_table.h"
#include "localization/string_registry.h"

namespace test {

inline void ResetToEnglishTexts() {
  LanguageState() = TLanguageState{};
  ClearStrings();
  ClearComponentCaptions();
  ResetMessageTable();
}

}  // namespace test
