#include "ui/answering_backend.h"

#include <algorithm>

namespace ui {

TAnsweringBackend::TAnsweringBackend(TBackend& inner)
    : inner_(inner), previous_(InstallBackend(this)) {}

TAnsweringBackend::~TAnsweringBackend() {
  InstallBackend(previous_);
}

void TAnsweringBackend::WhenModal(std::string_view className, std::function<void(TForm&)> answer) {
  answers_.push_back({std::string(className), std::move(answer)});
}

TModalResult TAnsweringBackend::ShowModal(TForm& form) {
  auto found = std::find_if(answers_.begin(), answers_.end(),
                            [&](const TAnswer& a) { return a.ClassName == form.ClassName(); });
  if (found == answers_.end()) return inner_.ShowModal(form);
  std::function<void(TForm&)> answer = std::move(found->Answer);
  answers_.erase(found);
  form.SetModalResult(TModalResult::None);
  if (form.OnShow) form.OnShow(form);
  answer(form);
  // Closing asks the window first, as a person's click on its button would.
  bool canClose = true;
  if (form.ModalResult() != TModalResult::None && form.OnCloseQuery)
    form.OnCloseQuery(form, canClose);
  if (!canClose || form.ModalResult() == TModalResult::None)
    form.SetModalResult(TModalResult::Cancel);
  return form.ModalResult();
}

}  // namespace ui
