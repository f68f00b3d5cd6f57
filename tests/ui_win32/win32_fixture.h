// Shared by the tests of the window backend: a backend of its own per test,
// forms that die before it, exceptions that reach the application recorded,
// and small readers of what the real windows show.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/form.h"
#include "ui/win32/win32_api.h"
#include "ui/win32/win32_backend.h"

namespace test {

inline std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  std::wstring text = name;
  // A versioned class of the common controls reads "6.0...!Button".
  const size_t bang = text.find(L'!');
  return bang == std::wstring::npos ? text : text.substr(bang + 1);
}

inline bool SameClass(HWND window, const wchar_t* expected) {
  return _wcsicmp(ClassOf(window).c_str(), expected) == 0;
}

inline std::u16string TextOf(HWND window) {
  return ui::win32::WindowText(window);
}

inline LONG_PTR StyleOf(HWND window) {
  return GetWindowLongPtrW(window, GWL_STYLE);
}

inline bool HasStyle(HWND window, LONG_PTR bits) {
  return (StyleOf(window) & bits) == bits;
}

class Win32Test : public ::testing::Test {
 protected:
  explicit Win32Test(int dpi = 0) : backend(dpi) {
    ui::Application().OnException = [this](std::exception_ptr e) {
      try {
        std::rethrow_exception(e);
      } catch (const std::exception& error) {
        exceptions.push_back(error.what());
      } catch (...) {
        exceptions.push_back("?");
      }
    };
  }
  ~Win32Test() override {
    forms.clear();
    ui::Application().OnException = nullptr;
  }

  ui::TForm& NewForm(const char* className, int width = 300, int height = 200) {
    forms.push_back(std::make_unique<ui::TForm>(className, className + 1));
    ui::TForm& form = *forms.back();
    form.SetCaption(className);
    form.SetClientSize(width, height);
    return form;
  }

  HWND Window(const ui::TControl& control) const { return backend.WindowOf(control); }
  HWND Window(const ui::TForm& form) const { return backend.WindowOf(form); }

  ui::TWin32Backend backend;
  std::vector<std::unique_ptr<ui::TForm>> forms;
  std::vector<std::string> exceptions;
};

}  // namespace test
