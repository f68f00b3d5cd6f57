// Dialogs that Esc closes without a result.
#pragma once

#include "ui/events.h"
#include "ui/form.h"

// Binds the form's key preview: Esc is consumed and closes it with Cancel.
inline void CancelOnEscape(ui::TForm& form) {
  form.OnKeyPress = [&form](ui::TForm&, char16_t& key) {
    if (key != ui::kKeyEscape) return;
    key = 0;
    form.SetModalResult(ui::TModalResult::Cancel);
  };
}
