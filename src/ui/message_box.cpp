#include "ui/message_box.h"

namespace ui {

TModalResult FirstButton(TMessageButtons buttons) {
  switch (buttons) {
    case TMessageButtons::Ok:
    case TMessageButtons::OkCancel:
      return TModalResult::Ok;
    case TMessageButtons::AbortRetryIgnore:
      return TModalResult::Abort;
    case TMessageButtons::YesNoCancel:
    case TMessageButtons::YesNo:
      return TModalResult::Yes;
    case TMessageButtons::RetryCancel:
      return TModalResult::Retry;
  }
  return TModalResult::Ok;
}

bool OffersButton(TMessageButtons buttons, TModalResult result) {
  using R = TModalResult;
  switch (buttons) {
    case TMessageButtons::Ok:
      return result == R::Ok;
    case TMessageButtons::OkCancel:
      return result == R::Ok || result == R::Cancel;
    case TMessageButtons::AbortRetryIgnore:
      return result == R::Abort || result == R::Retry || result == R::Ignore;
    case TMessageButtons::YesNoCancel:
      return result == R::Yes || result == R::No || result == R::Cancel;
    case TMessageButtons::YesNo:
      return result == R::Yes || result == R::No;
    case TMessageButtons::RetryCancel:
      return result == R::Retry || result == R::Cancel;
  }
  return false;
}

}  // namespace ui
