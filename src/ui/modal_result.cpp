#include "ui/modal_result.h"

namespace ui {

const char* ModalResultName(TModalResult result) {
  switch (result) {
    case TModalResult::None:
      return "None";
    case TModalResult::Ok:
      return "Ok";
    case TModalResult::Cancel:
      return "Cancel";
    case TModalResult::Abort:
      return "Abort";
    case TModalResult::Retry:
      return "Retry";
    case TModalResult::Ignore:
      return "Ignore";
    case TModalResult::Yes:
      return "Yes";
    case TModalResult::No:
      return "No";
  }
  return "?";
}

}  // namespace ui
