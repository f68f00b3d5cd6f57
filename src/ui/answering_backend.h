// A backend in front of another that answers chosen modal windows itself
// instead of waiting for a person, and passes everything else on: the
// wizard walking itself from an answer file in real windows.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"

namespace ui {

class TAnsweringBackend final : public TBackend {
 public:
  // Installs itself in place of inner while it lives.
  explicit TAnsweringBackend(TBackend& inner);
  ~TAnsweringBackend() override;
  TAnsweringBackend(const TAnsweringBackend&) = delete;
  TAnsweringBackend& operator=(const TAnsweringBackend&) = delete;

  // The next modal showing of a window of that class runs answer instead
  // (after the window's OnShow) and returns the modal result it set, once
  // the window's OnCloseQuery agreed; Cancel otherwise.
  void WhenModal(std::string_view className, std::function<void(TForm&)> answer);

  void CreateForm(TForm& form) override { inner_.CreateForm(form); }
  void ShowForm(TForm& form) override { inner_.ShowForm(form); }
  void HideForm(TForm& form) override { inner_.HideForm(form); }
  TModalResult ShowModal(TForm& form) override;
  TModalResult ShowMessageBox(const TMessageBoxRequest& request) override {
    return inner_.ShowMessageBox(request);
  }
  void ProcessMessages() override { inner_.ProcessMessages(); }
  void SetWaitCursor(bool wait) override { inner_.SetWaitCursor(wait); }
  void Run() override { inner_.Run(); }

 private:
  struct TAnswer {
    std::string ClassName;
    std::function<void(TForm&)> Answer;
  };
  TBackend& inner_;
  TBackend* previous_;
  std::vector<TAnswer> answers_;
};

}  // namespace ui
