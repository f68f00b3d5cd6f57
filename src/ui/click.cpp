#include "ui/click.h"

#include "ui/control.h"
#include "ui/form.h"

namespace ui {

bool ApplyClickState(TControl& control) {
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      control.SetChecked(!control.Checked());
      return true;
    case ControlKind::RadioButton:
      if (control.Checked()) return false;
      control.SetChecked(true);
      return true;
    default:
      return true;
  }
}

void ApplyClickModalResult(TControl& control) {
  TForm& form = control.Form();
  if (control.Kind() == ControlKind::Button && control.ModalResult() != TModalResult::None &&
      form.Modal())
    form.SetModalResult(control.ModalResult());
}

}  // namespace ui
