// Message boxes: task-modal, owned by the window in front, with the caption,
// text, buttons and icon the caller asks for.
#pragma once

#include <string>

#include "ui/modal_result.h"

namespace ui {

enum class TMessageButtons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class TMessageIcon { None, Error, Question, Warning, Information };

struct TMessageBoxRequest {
  std::string Caption;  // ANSI
  std::string Text;     // ANSI
  TMessageButtons Buttons = TMessageButtons::Ok;
  TMessageIcon Icon = TMessageIcon::None;
};

// The button that answers a box nobody answers (the first one).
TModalResult FirstButton(TMessageButtons buttons);
bool OffersButton(TMessageButtons buttons, TModalResult result);

}  // namespace ui
