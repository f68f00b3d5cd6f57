// What a click means to the model, the same under every backend.
#pragma once

namespace ui {

class TControl;

// Flips a check box and chooses a radio button. False when the click has no
// effect at all, as on the radio button already chosen: OnClick must not run.
bool ApplyClickState(TControl& control);

// After its OnClick, a button with a modal result ends its modal form.
void ApplyClickModalResult(TControl& control);

}  // namespace ui
