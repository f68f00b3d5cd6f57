// What a user-interface backend does for the model: make and show windows,
// run them modally, show message boxes, keep the windows alive during long
// work and show the wait cursor. The Win32 backend shows real windows;
// ui/headless keeps the model only, for tests and runs without a screen.
#pragma once

#include "ui/form.h"
#include "ui/message_box.h"
#include "ui/modal_result.h"

namespace ui {

class TBackend {
 public:
  virtual ~TBackend() = default;
  // Makes what the backend needs to show the form later; the form exists
  // in the model for the whole run from then on.
  virtual void CreateForm(TForm& form) = 0;
  virtual void ShowForm(TForm& form) = 0;
  virtual void HideForm(TForm& form) = 0;
  // Shows the form modally and returns how it was closed.
  virtual TModalResult ShowModal(TForm& form) = 0;
  virtual TModalResult ShowMessageBox(const TMessageBoxRequest& request) = 0;
  virtual void ProcessMessages() = 0;
  virtual void SetWaitCursor(bool wait) = 0;
  // Runs the message loop until the program ends.
  virtual void Run() = 0;
};

// The backend in use; throws std::logic_error while none is installed.
TBackend& CurrentBackend();
// The backend in use, or nullptr.
TBackend* InstalledBackend();
// Installs a backend (nullptr: none); returns the previous one. The backend
// also becomes the pump of platform::ProcessPendingMessages.
TBackend* InstallBackend(TBackend* backend);

// Shortcuts to the current backend.
void ShowForm(TForm& form);
TModalResult ShowModal(TForm& form);
TModalResult ShowMessageBox(const std::string& text, const std::string& caption,
                            TMessageButtons buttons, TMessageIcon icon);
void ProcessMessages();

// Shows the wait cursor while it lives.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace ui
