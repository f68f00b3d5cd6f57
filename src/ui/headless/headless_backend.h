// The backend for tests and for runs without a screen. It keeps the model
// only; a test drives it as a user would (click, type, press keys, pick
// items, close windows), answers message boxes from a script and reads back
// every box that was shown.
//
// A user action on something the user could not reach (a hidden or disabled
// control, a window that is not in front, an action that does not fit the
// control) does nothing and returns false.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"

namespace ui {

struct TShownBox {
  TMessageBoxRequest Request;
  std::string Owner;  // class name of the window in front; empty when none
  TModalResult Answer = TModalResult::None;
  bool Scripted = false;  // false: nobody answered; the first button was taken
};

class THeadlessBackend final : public TBackend {
 public:
  // Installs itself while it lives.
  THeadlessBackend();
  ~THeadlessBackend() override;
  THeadlessBackend(const THeadlessBackend&) = delete;
  THeadlessBackend& operator=(const THeadlessBackend&) = delete;

  void CreateForm(TForm& form) override { created_.push_back(form.ClassName()); }
  void ShowForm(TForm& form) override;
  void HideForm(TForm& form) override;
  // Runs the script queued for the form's class (WhenModal). A form the
  // script leaves open, or one without a script, is closed with Cancel.
  TModalResult ShowModal(TForm& form) override;
  TModalResult ShowMessageBox(const TMessageBoxRequest& request) override;
  void ProcessMessages() override;
  void SetWaitCursor(bool wait) override;
  void Run() override { ++runs_; }

  // The user's actions.
  bool Click(TControl& control);
  bool DoubleClick(TControl& control);
  // A mouse click on a tree view at x, y over node (nullptr: beside every
  // node). The node under the pointer becomes the selected node first.
  bool ClickNode(TControl& tree, TTreeNode* node, int x, int y = 0);
  // A key pressed in the control: the form sees it first when it previews
  // keys, then the control; what neither consumes has its usual effect
  // (characters edit text, space clicks a button or check box, Enter presses
  // the default button, Esc the cancel button).
  bool PressKey(TControl& control, char16_t key);
  // A key pressed in the window in front, in its focused control if any.
  bool PressKey(char16_t key);
  // Types the text key by key into an edit, memo or editable combo box.
  bool Type(TControl& control, std::string_view text);
  bool TypeWide(TControl& control, std::u16string_view text);
  // Selects all of the control's text and types over it (deletes it when
  // text is empty).
  bool ReplaceText(TControl& control, std::string_view text);
  bool PickItem(TControl& list, int index);
  // Clicks the check box of an item of a check list box.
  bool ToggleItem(TControl& list, int index);
  // The window's close box.
  bool CloseWindow(TForm& form);

  // Answers the boxes that no queued answer covers; without it they get
  // their first button.
  std::function<TModalResult(const TMessageBoxRequest&)> AnswerUnscripted;
  // Answers for the next message boxes, in order.
  void AnswerBoxes(std::initializer_list<TModalResult> answers);
  size_t PendingAnswers() const { return answers_.size(); }
  const std::vector<TShownBox>& Boxes() const { return boxes_; }
  // Boxes shown while no answer was queued.
  size_t UnansweredBoxes() const;
  void ClearBoxes() { boxes_.clear(); }

  // What to do when a window of that class is next shown modally; scripts
  // for one class run in the order they were queued.
  void WhenModal(std::string_view className, std::function<void(TForm&)> script);
  // Class names of the windows shown modally, in order.
  const std::vector<std::string>& ModalsShown() const { return modalsShown_; }
  // Modal windows that no script closed.
  size_t ModalsLeftOpen() const { return modalsLeftOpen_; }

  // The window the user works in: the innermost modal one, else the last
  // one shown that is still visible.
  TForm* FrontForm() const;

  // Runs at each ProcessMessages call (not nested), as if the user acted
  // while the program was busy.
  std::function<void()> OnProcessMessages;
  size_t ProcessMessagesCalls() const { return processCalls_; }
  bool WaitCursorShown() const { return waitCursor_; }
  // Every change of the cursor, in order (true: wait cursor).
  const std::vector<bool>& CursorChanges() const { return cursorChanges_; }
  size_t RunCalls() const { return runs_; }
  // Class names of the forms made through CreateForm, in order.
  const std::vector<std::string>& CreatedForms() const { return created_; }

 private:
  struct ModalRun {
    TForm* Form;
    bool Closed;
  };
  struct ModalScript {
    std::string ClassName;
    std::function<void(TForm&)> Script;
  };

  bool CanReach(const TControl& control) const;
  bool ClickControl(TControl& control, bool takeFocus);
  void Dispatch(const std::function<void()>& handler);
  void CloseIfRequested();
  void FinishModal(size_t index);
  void DefaultKeyAction(TControl* control, TForm& form, char16_t key);
  void EditText(TControl& control, std::u16string_view insert, bool backspace);
  TControl* FindButton(TForm& form, bool cancel) const;

  TBackend* previous_;
  std::deque<TModalResult> answers_;
  std::vector<TShownBox> boxes_;
  std::vector<ModalScript> scripts_;
  std::vector<ModalRun> modals_;
  std::vector<TForm*> shown_;
  std::vector<std::string> modalsShown_;
  size_t modalsLeftOpen_ = 0;
  size_t processCalls_ = 0;
  bool inProcessHook_ = false;
  bool waitCursor_ = false;
  std::vector<bool> cursorChanges_;
  size_t runs_ = 0;
  std::vector<std::string> created_;
};

}  // namespace ui
