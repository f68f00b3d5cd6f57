#include "localization/setup_strings.h"

#include "localization/component_captions.h"
#include "localization/language_state.h"
#include "localization/message_table.h"

TLanguageState& LanguageState() {
  static TLanguageState state;
  return state;
}

void RegisterSetupStrings(TLocalizationStrings& registry) {
  TLanguageState& state = LanguageState();
  if (state.StringsRegistered) return;
  ReadComponentCaptions();
  for (size_t i = 0; i < kMessageKeyCount; ++i) {
    TMessage id = static_cast<TMessage>(i);
    RegisterString(MessageKey(id), Message(id), registry);
  }
  for (size_t i = 0; i < kComponentCaptionCount; ++i)
    RegisterString(ComponentCaptionKeys()[i].Key, ComponentCaption(i), registry);
  state.StringsRegistered = true;
}
