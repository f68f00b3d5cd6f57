// Registration of the installer's own keys: the message table, then the
// sixteen component captions, in their table order.
#pragma once

#include "localization/string_registry.h"

// Does nothing once the keys are registered (LanguageState); otherwise
// copies the tree's captions into the component-caption variables first.
void RegisterSetupStrings(TLocalizationStrings& registry = LocalizationStrings());
