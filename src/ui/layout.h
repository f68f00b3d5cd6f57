// Places docked controls the way the window toolkit does: in creation order,
// each visible docked control takes its edge of what its parent has left.
#pragma once

#include "ui/form.h"

namespace ui {

// Recomputes the bounds of every docked control of the form. Controls that
// are not docked keep their bounds.
void AlignControls(TForm& form);

}  // namespace ui
