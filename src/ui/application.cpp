#include "ui/application.h"

namespace ui {

TForm* TApplication::FindForm(std::string_view className) const {
  for (const auto& form : forms_)
    if (form->ClassName() == className) return form.get();
  return nullptr;
}

void TApplication::DestroyForms() {
  while (!forms_.empty())
    forms_.pop_back();
}

void TApplication::HandleException(std::exception_ptr exception) {
  if (!OnException) std::rethrow_exception(exception);
  try {
    OnException(exception);
  } catch (...) {
    // The handler is the last stop: what it throws is dropped.
  }
}

TApplication& Application() {
  static TApplication application;
  return application;
}

}  // namespace ui
