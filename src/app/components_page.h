// The components page and the exclusion flags that mirror five of its
// components in the installer state.
#pragma once

#include "app/main_form.h"

// Arriving at the page: excluded components unchecked, the tree expanded
// with its first node selected, every group showing its children's state.
void ShowComponentsPage(TMainForm& form);
// Arriving at the page after it: each flag is set exactly when its
// component is unchecked.
void LeaveComponentsPage(TMainForm& form);
