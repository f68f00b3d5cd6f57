// How a modal window or a message box was closed.
#pragma once

namespace ui {

// The values of the Windows dialog results (IDOK ... IDNO).
enum class TModalResult {
  None = 0,
  Ok = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7
};

const char* ModalResultName(TModalResult result);

}  // namespace ui
