// The five component exclusion flags as the product key keeps them.
#pragma once

#include "app/installer_state.h"
#include "support/advanced_registry.h"

// Read or write the flags in the product key, in the order NoInstallIM,
// NoInstallCalendar, NoInstallAV, NoInstallIAS, NoInstallMail. Registry
// failures are swallowed: a flag that cannot be read stays false.
void ReadComponentExclusions(TInstallerState& state, TAdvancedRegistry& productKey);
void WriteComponentExclusions(const TInstallerState& state, TAdvancedRegistry& productKey);
