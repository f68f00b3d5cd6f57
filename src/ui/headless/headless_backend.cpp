#include "ui/headless/headless_backend.h"

#include <algorithm>
#include <stdexcept>

#include "platform/codepage.h"
#include "ui/application.h"
#include "ui/click.h"

namespace ui {
namespace {

bool AcceptsTyping(const TControl& control) {
  switch (control.Kind()) {
    case ControlKind::Edit:
    case ControlKind::Memo:
      return !control.ReadOnly();
    case ControlKind::ComboBox:
      return control.Editable();
    default:
      return false;
  }
}

}  // namespace

THeadlessBackend::THeadlessBackend() : previous_(InstallBackend(this)) {}

THeadlessBackend::~THeadlessBackend() {
  InstallBackend(previous_);
}

TForm* THeadlessBackend::FrontForm() const {
  for (auto run = modals_.rbegin(); run != modals_.rend(); ++run)
    if (!run->Closed) return run->Form;
  for (auto form = shown_.rbegin(); form != shown_.rend(); ++form)
    if ((*form)->Visible()) return *form;
  return nullptr;
}

bool THeadlessBackend::CanReach(const TControl& control) const {
  return control.Reachable() && control.Form().Visible() && &control.Form() == FrontForm();
}

void THeadlessBackend::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    Application().HandleException(std::current_exception());
  }
}

void THeadlessBackend::ShowForm(TForm& form) {
  shown_.erase(std::remove(shown_.begin(), shown_.end(), &form), shown_.end());
  shown_.push_back(&form);
  form.SetVisible(true);
  if (form.OnShow) Dispatch([&] { form.OnShow(form); });
}

void THeadlessBackend::HideForm(TForm& form) {
  form.SetVisible(false);
}

void THeadlessBackend::FinishModal(size_t index) {
  modals_[index].Closed = true;
  TForm& form = *modals_[index].Form;
  form.SetVisible(false);
  if (form.OnClose) Dispatch([&] { form.OnClose(form); });
}

void THeadlessBackend::CloseIfRequested() {
  for (size_t index = modals_.size(); index-- > 0;) {
    if (modals_[index].Closed) continue;
    TForm& form = *modals_[index].Form;
    if (form.ModalResult() == TModalResult::None) return;
    bool canClose = true;
    if (form.OnCloseQuery) Dispatch([&] { form.OnCloseQuery(form, canClose); });
    if (canClose)
      FinishModal(index);
    else
      form.SetModalResult(TModalResult::None);
    return;
  }
}

TModalResult THeadlessBackend::ShowModal(TForm& form) {
  if (form.Modal()) throw std::logic_error(form.ClassName() + " is already shown modally");
  modalsShown_.push_back(form.ClassName());
  modals_.push_back({&form, false});
  const size_t index = modals_.size() - 1;
  form.SetModal(true);
  form.SetModalResult(TModalResult::None);
  form.SetVisible(true);
  try {
    if (form.OnShow) Dispatch([&] { form.OnShow(form); });
    CloseIfRequested();
    if (!modals_[index].Closed) {
      auto script = std::find_if(scripts_.begin(), scripts_.end(), [&](const ModalScript& s) {
        return s.ClassName == form.ClassName();
      });
      if (script != scripts_.end()) {
        std::function<void(TForm&)> run = std::move(script->Script);
        scripts_.erase(script);
        run(form);
      }
    }
    if (!modals_[index].Closed) {
      ++modalsLeftOpen_;
      if (form.ModalResult() == TModalResult::None) form.SetModalResult(TModalResult::Cancel);
      FinishModal(index);
    }
  } catch (...) {
    modals_.resize(index);
    form.SetModal(false);
    form.SetVisible(false);
    throw;
  }
  TModalResult result = form.ModalResult();
  modals_.resize(index);
  form.SetModal(false);
  return result;
}

TModalResult THeadlessBackend::ShowMessageBox(const TMessageBoxRequest& request) {
  TShownBox box;
  box.Request = request;
  if (TForm* front = FrontForm()) box.Owner = front->ClassName();
  if (!answers_.empty()) {
    box.Answer = answers_.front();
    answers_.pop_front();
    box.Scripted = true;
  } else {
    box.Answer = AnswerUnscripted ? AnswerUnscripted(request) : FirstButton(request.Buttons);
  }
  boxes_.push_back(box);
  return box.Answer;
}

void THeadlessBackend::ProcessMessages() {
  ++processCalls_;
  if (!OnProcessMessages || inProcessHook_) return;
  inProcessHook_ = true;
  try {
    OnProcessMessages();
  } catch (...) {
    inProcessHook_ = false;
    throw;
  }
  inProcessHook_ = false;
}

void THeadlessBackend::SetWaitCursor(bool wait) {
  waitCursor_ = wait;
  cursorChanges_.push_back(wait);
}

bool THeadlessBackend::Click(TControl& control) {
  return ClickControl(control, true);
}

bool THeadlessBackend::ClickControl(TControl& control, bool takeFocus) {
  if (!CanReach(control)) return false;
  if (takeFocus && TakesFocus(control.Kind())) control.SetFocus();
  if (!ApplyClickState(control)) return true;
  if (control.OnClick) Dispatch([&] { control.OnClick(control); });
  ApplyClickModalResult(control);
  CloseIfRequested();
  return true;
}

bool THeadlessBackend::DoubleClick(TControl& control) {
  if (!CanReach(control)) return false;
  if (control.OnDblClick) Dispatch([&] { control.OnDblClick(control); });
  CloseIfRequested();
  return true;
}

bool THeadlessBackend::ClickNode(TControl& tree, TTreeNode* node, int x, int y) {
  if (tree.Kind() != ControlKind::TreeView || !CanReach(tree)) return false;
  if (node && tree.PositionOf(node) < 0) return false;
  tree.SetFocus();
  if (node) tree.SelectNode(node);
  const TNodeClick click{node, x, y};
  if (tree.OnNodeClick) Dispatch([&] { tree.OnNodeClick(tree, click); });
  if (tree.OnClick) Dispatch([&] { tree.OnClick(tree); });
  CloseIfRequested();
  return true;
}

TControl* THeadlessBackend::FindButton(TForm& form, bool cancel) const {
  for (const auto& control : form.Controls())
    if (control->Kind() == ControlKind::Button &&
        (cancel ? control->Cancel() : control->Default()) && control->Reachable())
      return control.get();
  return nullptr;
}

void THeadlessBackend::EditText(TControl& control, std::u16string_view insert, bool backspace) {
  std::u16string text = control.WideText();
  size_t start = control.SelStart();
  size_t length = control.SelLength();
  if (backspace) {
    if (length == 0) {
      if (start == 0) return;
      --start;
      length = 1;
    }
    text.erase(start, length);
  } else {
    text.replace(start, length, insert);
    start += insert.size();
  }
  control.SetWideText(text);
  control.SetSelection(std::min(start, control.WideText().size()), 0);
  if (control.OnChange) Dispatch([&] { control.OnChange(control); });
}

void THeadlessBackend::DefaultKeyAction(TControl* control, TForm& form, char16_t key) {
  switch (key) {
    case kKeyEnter:
      if (control && control->Kind() == ControlKind::Memo && !control->ReadOnly()) {
        EditText(*control, u"\r\n", false);
      } else if (control && control->Kind() == ControlKind::Button) {
        ClickControl(*control, false);
      } else if (TControl* button = FindButton(form, false)) {
        // The default button is pressed without taking the focus.
        ClickControl(*button, false);
      }
      return;
    case kKeyEscape:
      if (TControl* button = FindButton(form, true)) ClickControl(*button, false);
      return;
    case kKeyTab:
      return;
    case kKeyBackspace:
      if (control && AcceptsTyping(*control)) EditText(*control, u"", true);
      return;
    default:
      break;
  }
  if (!control) return;
  if (key == kKeySpace) {
    switch (control->Kind()) {
      case ControlKind::Button:
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        ClickControl(*control, false);
        return;
      case ControlKind::CheckListBox:
        if (control->ItemIndex() >= 0) ToggleItem(*control, control->ItemIndex());
        return;
      default:
        break;
    }
  }
  if (key >= kKeySpace && AcceptsTyping(*control))
    EditText(*control, std::u16string(1, key), false);
}

bool THeadlessBackend::PressKey(TControl& control, char16_t key) {
  if (!CanReach(control)) return false;
  TForm& form = control.Form();
  if (TakesFocus(control.Kind())) control.SetFocus();
  if (form.KeyPreview() && form.OnKeyPress) Dispatch([&] { form.OnKeyPress(form, key); });
  if (key != 0 && control.OnKeyPress) Dispatch([&] { control.OnKeyPress(control, key); });
  if (key != 0 && CanReach(control)) DefaultKeyAction(&control, form, key);
  CloseIfRequested();
  return true;
}

bool THeadlessBackend::PressKey(char16_t key) {
  TForm* form = FrontForm();
  if (!form) return false;
  TControl* active = form->ActiveControl();
  if (active && CanReach(*active)) return PressKey(*active, key);
  if (form->OnKeyPress) Dispatch([&] { form->OnKeyPress(*form, key); });
  if (key != 0) DefaultKeyAction(nullptr, *form, key);
  CloseIfRequested();
  return true;
}

bool THeadlessBackend::Type(TControl& control, std::string_view text) {
  return TypeWide(control, platform::AnsiToUtf16(text));
}

bool THeadlessBackend::TypeWide(TControl& control, std::u16string_view text) {
  if (!CanReach(control) || !AcceptsTyping(control)) return false;
  for (char16_t key : text)
    PressKey(control, key);
  return true;
}

bool THeadlessBackend::ReplaceText(TControl& control, std::string_view text) {
  if (!CanReach(control) || !AcceptsTyping(control)) return false;
  control.SetFocus();
  control.SelectAll();
  if (text.empty()) {
    if (!control.WideText().empty()) PressKey(control, kKeyBackspace);
    return true;
  }
  return Type(control, text);
}

bool THeadlessBackend::PickItem(TControl& list, int index) {
  if (!HasItems(list.Kind()) || !CanReach(list)) return false;
  if (index < 0 || static_cast<size_t>(index) >= list.ItemCount()) return false;
  list.SetFocus();
  list.SetItemIndex(index);
  switch (list.Kind()) {
    case ControlKind::ComboBox:
      if (list.OnChange) Dispatch([&] { list.OnChange(list); });
      if (list.OnClick) Dispatch([&] { list.OnClick(list); });
      break;
    case ControlKind::DirectoryList:
    case ControlKind::DriveList:
      if (list.OnChange) Dispatch([&] { list.OnChange(list); });
      break;
    default:
      if (list.OnClick) Dispatch([&] { list.OnClick(list); });
      break;
  }
  CloseIfRequested();
  return true;
}

bool THeadlessBackend::ToggleItem(TControl& list, int index) {
  if (list.Kind() != ControlKind::CheckListBox || !CanReach(list)) return false;
  if (index < 0 || static_cast<size_t>(index) >= list.ItemCount()) return false;
  const size_t item = static_cast<size_t>(index);
  if (!list.ItemEnabled(item)) return false;
  list.SetFocus();
  list.SetItemIndex(index);
  list.SetItemChecked(item, !list.ItemChecked(item));
  if (list.OnClick) Dispatch([&] { list.OnClick(list); });
  CloseIfRequested();
  return true;
}

bool THeadlessBackend::CloseWindow(TForm& form) {
  if (&form != FrontForm()) return false;
  if (form.Modal()) {
    form.SetModalResult(TModalResult::Cancel);
    CloseIfRequested();
    return true;
  }
  bool canClose = true;
  if (form.OnCloseQuery) Dispatch([&] { form.OnCloseQuery(form, canClose); });
  if (canClose) {
    form.SetVisible(false);
    if (form.OnClose) Dispatch([&] { form.OnClose(form); });
  }
  return true;
}

void THeadlessBackend::AnswerBoxes(std::initializer_list<TModalResult> answers) {
  answers_.insert(answers_.end(), answers.begin(), answers.end());
}

size_t THeadlessBackend::UnansweredBoxes() const {
  return static_cast<size_t>(
      std::count_if(boxes_.begin(), boxes_.end(), [](const TShownBox& b) { return !b.Scripted; }));
}

void THeadlessBackend::WhenModal(std::string_view className, std::function<void(TForm&)> script) {
  scripts_.push_back({std::string(className), std::move(script)});
}

}  // namespace ui
