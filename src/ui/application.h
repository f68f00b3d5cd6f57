// The application object: its title, the windows it owns in creation order
// (the order in which the language file lists them) and the handler for
// exceptions that reach the message loop.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/form.h"

namespace ui {

class TApplication {
 public:
  const std::string& Title() const { return title_; }
  void SetTitle(std::string_view title) { title_ = title; }

  template <class Form, class... Args>
  Form& CreateForm(Args&&... args) {
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    Form& created = *form;
    forms_.push_back(std::move(form));
    return created;
  }
  const std::vector<std::unique_ptr<TForm>>& Forms() const { return forms_; }
  TForm* FindForm(std::string_view className) const;
  // Destroys every window, last created first.
  void DestroyForms();

  // Receives what an event handler let escape. Without a handler the
  // exception goes on to the caller of the backend.
  std::function<void(std::exception_ptr)> OnException;
  void HandleException(std::exception_ptr exception);

 private:
  std::string title_;
  std::vector<std::unique_ptr<TForm>> forms_;
};

// The one application object of the process.
TApplication& Application();

}  // namespace ui
