// Shared by the files of the Win32 backend: what it keeps per form and the
// small rules the model-to-window and window-to-model code both follow.
#pragma once

#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/application.h"
#include "ui/win32/win32_backend.h"

namespace ui {

// What the backend keeps for a form: its window, the window of each control
// (parallel to the form's controls; nullptr for kinds without one) and the
// tree items shown for the nodes of its tree views.
struct TWin32Backend::TFormWindow {
  TForm* Form = nullptr;
  HWND Window = nullptr;
  std::vector<HWND> Windows;
  std::unordered_map<const TControl*, size_t> Index;
  std::unordered_map<const TTreeNode*, HTREEITEM> Items;
  std::unordered_map<const TControl*, std::vector<const TTreeNode*>> ShownNodes;
  HWND Tips = nullptr;  // the tooltip window that shows the hints
  POINT LastTreePoint{};
};

template <class Handler>
void TWin32Backend::Dispatch(Handler&& handler) {
  try {
    handler();
  } catch (...) {
    try {
      Application().HandleException(std::current_exception());
    } catch (...) {
      Keep(std::current_exception());
    }
  }
}

namespace win32 {

constexpr int kFirstControlId = 100;
constexpr UINT_PTR kSubclassId = 1;
constexpr int kComboListHeight = 160;

class TApplying {
 public:
  explicit TApplying(int& counter) : counter_(counter) { ++counter_; }
  ~TApplying() { --counter_; }
  TApplying(const TApplying&) = delete;
  TApplying& operator=(const TApplying&) = delete;

 private:
  int& counter_;
};

inline std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + " (system error " + std::to_string(GetLastError()) + ")");
}

// An edit control breaks lines only at CR LF.
inline std::u16string WithCrLf(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
    out += text[i];
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) out += u'\n';
  }
  return out;
}

inline bool IsHost(ControlKind kind) {
  return kind == ControlKind::Panel || kind == ControlKind::TabSheet;
}

inline bool ShownInModel(const TControl& control) {
  for (const TControl* c = &control; c; c = c->Parent())
    if (!c->Visible()) return false;
  return true;
}

inline bool EnabledInModel(const TControl& control) {
  for (const TControl* c = &control; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

inline bool IsListBox(ControlKind kind) {
  return kind == ControlKind::ListBox || kind == ControlKind::CheckListBox ||
         kind == ControlKind::ListView || kind == ControlKind::DirectoryList;
}

inline bool IsComboBox(ControlKind kind) {
  return kind == ControlKind::ComboBox || kind == ControlKind::DriveList;
}

}  // namespace win32
}  // namespace ui
