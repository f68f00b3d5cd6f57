#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/application.h"
#include "ui/backend.h"
#include "ui/headless/headless_backend.h"

using ui::ControlKind;
using ui::TControl;
using ui::TForm;
using ui::TModalResult;

namespace {

class Headless : public ::testing::Test {
 protected:
  Headless() : form("TTestForm", "TestForm") { form.SetClientSize(200, 100); }
  void TearDown() override { ui::Application().OnException = nullptr; }

  TControl& Add(ControlKind kind, const char* name, TControl* parent = nullptr) {
    return form.AddControl(kind, name, parent, {0, 0, 10, 10});
  }

  ui::THeadlessBackend backend;
  TForm form;
  std::vector<std::string> events;
};

}  // namespace

TEST_F(Headless, OnlyReachableControlsCanBeClicked) {
  TControl& panel = Add(ControlKind::Panel, "Panel");
  TControl& button = Add(ControlKind::Button, "Button", &panel);
  button.OnClick = [&](TControl& sender) { events.push_back("click " + sender.Name()); };

  EXPECT_FALSE(backend.Click(button));  // the window is not shown yet
  backend.ShowForm(form);
  EXPECT_TRUE(backend.Click(button));
  panel.SetEnabled(false);
  EXPECT_FALSE(backend.Click(button));
  panel.SetEnabled(true);
  panel.SetVisible(false);
  EXPECT_FALSE(backend.Click(button));
  EXPECT_FALSE(backend.PressKey(button, ui::kKeySpace));
  panel.SetVisible(true);
  button.SetEnabled(false);
  EXPECT_FALSE(backend.Click(button));
  button.SetEnabled(true);
  EXPECT_TRUE(backend.PressKey(button, ui::kKeySpace));
  EXPECT_EQ(events, (std::vector<std::string>{"click Button", "click Button"}));
  EXPECT_TRUE(button.Focused());
}

TEST_F(Headless, CheckBoxesToggleAndRadioButtonsChoose) {
  TControl& check = Add(ControlKind::CheckBox, "Check");
  TControl& basic = Add(ControlKind::RadioButton, "Basic");
  TControl& advanced = Add(ControlKind::RadioButton, "Advanced");
  basic.SetChecked(true);
  int clicks = 0;
  check.OnClick = [&](TControl& sender) {
    events.push_back(sender.Checked() ? "checked" : "unchecked");
  };
  advanced.OnClick = [&](TControl&) { ++clicks; };
  basic.OnClick = [&](TControl&) { ++clicks; };
  backend.ShowForm(form);

  backend.Click(check);
  backend.PressKey(check, ui::kKeySpace);
  EXPECT_EQ(events, (std::vector<std::string>{"checked", "unchecked"}));
  backend.Click(advanced);
  EXPECT_TRUE(advanced.Checked());
  EXPECT_FALSE(basic.Checked());
  EXPECT_EQ(clicks, 1);
  backend.Click(advanced);  // already chosen
  EXPECT_EQ(clicks, 1);
}

TEST_F(Headless, TypingEditsTextKeyByKey) {
  TControl& edit = Add(ControlKind::Edit, "Edit");
  TControl& memo = Add(ControlKind::Memo, "Memo");
  TControl& fixedCombo = Add(ControlKind::ComboBox, "Fixed");
  memo.SetReadOnly(true);
  fixedCombo.SetItems({"a", "b"});
  edit.OnChange = [&](TControl& sender) { events.push_back(sender.Text()); };
  backend.ShowForm(form);

  EXPECT_TRUE(backend.Type(edit, "ab"));
  EXPECT_EQ(events, (std::vector<std::string>{"a", "ab"}));
  backend.PressKey(edit, ui::kKeyBackspace);
  EXPECT_EQ(edit.Text(), "a");
  EXPECT_TRUE(backend.ReplaceText(edit, "xyz"));
  EXPECT_EQ(edit.Text(), "xyz");
  // Typing lands at the caret, after a selection is replaced.
  edit.SetSelection(1, 1);
  backend.Type(edit, "Y");
  EXPECT_EQ(edit.Text(), "xYz");
  EXPECT_EQ(edit.SelStart(), 2u);
  events.clear();
  EXPECT_TRUE(backend.ReplaceText(edit, ""));
  EXPECT_EQ(edit.Text(), "");
  EXPECT_EQ(events, (std::vector<std::string>{""}));
  events.clear();
  backend.PressKey(edit, ui::kKeyBackspace);  // nothing to delete
  EXPECT_TRUE(events.empty());

  EXPECT_FALSE(backend.Type(memo, "x"));
  EXPECT_FALSE(backend.Type(fixedCombo, "x"));
  EXPECT_EQ(memo.Text(), "");
  EXPECT_EQ(fixedCombo.Text(), "");
}

TEST_F(Headless, TheFormSeesKeysFirstAndEscAndEnterPressTheirButtons) {
  TControl& edit = Add(ControlKind::Edit, "Edit");
  TControl& ok = Add(ControlKind::Button, "OK");
  TControl& cancel = Add(ControlKind::Button, "Cancel");
  ok.SetDefault(true);
  cancel.SetCancel(true);
  ok.OnClick = [&](TControl&) { events.push_back("ok"); };
  cancel.OnClick = [&](TControl&) { events.push_back("cancel"); };
  edit.OnKeyPress = [&](TControl&, char16_t& key) {
    events.push_back("edit key " + std::to_string(key));
  };
  form.SetKeyPreview(true);
  form.OnKeyPress = [&](TForm&, char16_t& key) {
    events.push_back("form key " + std::to_string(key));
    if (key == u'q') key = 0;  // consumed
  };
  backend.ShowForm(form);

  backend.PressKey(edit, u'q');
  EXPECT_EQ(edit.Text(), "");
  backend.PressKey(edit, u'w');
  EXPECT_EQ(edit.Text(), "w");
  backend.PressKey(edit, ui::kKeyEnter);
  backend.PressKey(ui::kKeyEscape);  // to the focused control, the edit
  EXPECT_EQ(events, (std::vector<std::string>{"form key 113", "form key 119", "edit key 119",
                                              "form key 13", "edit key 13", "ok", "form key 27",
                                              "edit key 27", "cancel"}));

  // Without key preview the form does not see them.
  events.clear();
  form.SetKeyPreview(false);
  backend.PressKey(edit, u'q');
  EXPECT_EQ(events, (std::vector<std::string>{"edit key 113"}));
  EXPECT_EQ(edit.Text(), "wq");
}

TEST_F(Headless, ModalWindowsCloseWhenTheirCloseQueryAllows) {
  TControl& ok = Add(ControlKind::Button, "OK");
  TControl& cancel = Add(ControlKind::Button, "Cancel");
  ok.SetModalResult(TModalResult::Ok);
  cancel.SetModalResult(TModalResult::Cancel).SetCancel(true);
  bool allowOk = false;
  form.OnShow = [&](TForm&) { events.push_back("show"); };
  form.OnClose = [&](TForm&) { events.push_back("close"); };
  form.OnCloseQuery = [&](TForm& sender, bool& canClose) {
    events.push_back(std::string("query ") + ui::ModalResultName(sender.ModalResult()));
    if (sender.ModalResult() == TModalResult::Ok) canClose = allowOk;
  };
  backend.WhenModal("TTestForm", [&](TForm& shown) {
    EXPECT_TRUE(shown.Visible());
    EXPECT_TRUE(shown.Modal());
    EXPECT_TRUE(backend.Click(ok));  // refused by the close query
    EXPECT_TRUE(shown.Visible());
    EXPECT_EQ(shown.ModalResult(), TModalResult::None);
    allowOk = true;
    EXPECT_TRUE(backend.Click(ok));
    EXPECT_FALSE(shown.Visible());
    EXPECT_FALSE(backend.Click(cancel));  // the window is gone
  });
  EXPECT_EQ(ui::ShowModal(form), TModalResult::Ok);
  EXPECT_FALSE(form.Modal());
  EXPECT_EQ(events, (std::vector<std::string>{"show", "query Ok", "query Ok", "close"}));

  // Esc presses the cancel button; the close box asks too.
  events.clear();
  backend.WhenModal("TTestForm", [&](TForm&) { backend.PressKey(ui::kKeyEscape); });
  EXPECT_EQ(ui::ShowModal(form), TModalResult::Cancel);
  backend.WhenModal("TTestForm", [&](TForm& shown) { backend.CloseWindow(shown); });
  EXPECT_EQ(ui::ShowModal(form), TModalResult::Cancel);
  EXPECT_EQ(events, (std::vector<std::string>{"show", "query Cancel", "close", "show",
                                              "query Cancel", "close"}));
  EXPECT_EQ(backend.ModalsLeftOpen(), 0u);

  // A window that no script closes ends with Cancel and is counted.
  EXPECT_EQ(ui::ShowModal(form), TModalResult::Cancel);
  EXPECT_EQ(backend.ModalsLeftOpen(), 1u);
  EXPECT_EQ(backend.ModalsShown().size(), 4u);
}

TEST_F(Headless, OnlyTheInnermostModalWindowTakesInput) {
  TForm dialog("TDialog", "Dialog");
  TControl& open = Add(ControlKind::Button, "Open");
  TControl& close = dialog.AddControl(ControlKind::Button, "Close", nullptr, {});
  close.SetModalResult(TModalResult::Yes);
  TModalResult inner = TModalResult::None;
  open.OnClick = [&](TControl&) { inner = ui::ShowModal(dialog); };
  backend.WhenModal("TDialog", [&](TForm&) {
    EXPECT_EQ(backend.FrontForm(), &dialog);
    EXPECT_FALSE(backend.Click(open));
    EXPECT_TRUE(backend.Click(close));
  });
  backend.ShowForm(form);
  EXPECT_TRUE(backend.Click(open));
  EXPECT_EQ(inner, TModalResult::Yes);
  EXPECT_EQ(backend.FrontForm(), &form);
  EXPECT_THROW(
      {
        backend.WhenModal("TDialog", [&](TForm& shown) { ui::ShowModal(shown); });
        ui::ShowModal(dialog);
      },
      std::logic_error);
  EXPECT_FALSE(dialog.Modal());
}

TEST_F(Headless, MessageBoxesAreAnsweredFromTheScriptAndRecorded) {
  backend.ShowForm(form);
  backend.AnswerBoxes({TModalResult::No, TModalResult::Yes});
  EXPECT_EQ(ui::ShowMessageBox("Do you wish to cancel this installation?", "Exit Setup",
                               ui::TMessageButtons::YesNo, ui::TMessageIcon::Question),
            TModalResult::No);
  EXPECT_EQ(ui::ShowMessageBox("second", "caption", ui::TMessageButtons::YesNo,
                               ui::TMessageIcon::Question),
            TModalResult::Yes);
  EXPECT_EQ(backend.PendingAnswers(), 0u);
  EXPECT_EQ(ui::ShowMessageBox("unanswered", "Error", ui::TMessageButtons::RetryCancel,
                               ui::TMessageIcon::Error),
            TModalResult::Retry);

  const auto& boxes = backend.Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].Request.Caption, "Exit Setup");
  EXPECT_EQ(boxes[0].Request.Text, "Do you wish to cancel this installation?");
  EXPECT_EQ(boxes[0].Request.Buttons, ui::TMessageButtons::YesNo);
  EXPECT_EQ(boxes[0].Request.Icon, ui::TMessageIcon::Question);
  EXPECT_EQ(boxes[0].Owner, "TTestForm");
  EXPECT_TRUE(boxes[0].Scripted);
  EXPECT_EQ(boxes[2].Answer, TModalResult::Retry);
  EXPECT_FALSE(boxes[2].Scripted);
  EXPECT_EQ(backend.UnansweredBoxes(), 1u);
  backend.ClearBoxes();
  EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(Headless, ListsAndTreesArePickedAndClicked) {
  TControl& combo = Add(ControlKind::ComboBox, "Combo");
  TControl& checks = Add(ControlKind::CheckListBox, "Checks");
  TControl& tree = Add(ControlKind::TreeView, "Tree");
  combo.SetItems({"a", "b"});
  checks.SetItems({"x", "y"});
  checks.SetItemEnabled(1, false);
  ui::TTreeNode& root = tree.AddNode("root", 1);
  ui::TTreeNode& leaf = root.AddChild("leaf", 2);
  combo.OnChange = [&](TControl& sender) { events.push_back("change " + sender.Text()); };
  tree.OnNodeClick = [&](TControl& sender, const ui::TNodeClick& click) {
    events.push_back("node " + (click.Node ? click.Node->Text() : std::string("none")) + " at " +
                     std::to_string(click.X) + " selected " + sender.SelectedNode()->Text());
  };
  backend.ShowForm(form);

  EXPECT_TRUE(backend.PickItem(combo, 1));
  EXPECT_FALSE(backend.PickItem(combo, 2));
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_TRUE(backend.ToggleItem(checks, 0));
  EXPECT_TRUE(checks.ItemChecked(0));
  EXPECT_FALSE(backend.ToggleItem(checks, 1));  // disabled item
  EXPECT_FALSE(checks.ItemChecked(1));
  backend.PressKey(checks, ui::kKeySpace);  // toggles the selected item
  EXPECT_FALSE(checks.ItemChecked(0));

  EXPECT_TRUE(backend.ClickNode(tree, &leaf, 30));
  EXPECT_TRUE(backend.ClickNode(tree, nullptr, 5));
  TForm other("TOther", "Other");
  TControl& otherTree = other.AddControl(ControlKind::TreeView, "Tree", nullptr, {});
  EXPECT_FALSE(backend.ClickNode(tree, &otherTree.AddNode("x", 0), 30));
  EXPECT_FALSE(backend.ClickNode(combo, nullptr, 30));
  EXPECT_EQ(events, (std::vector<std::string>{"change b", "node leaf at 30 selected leaf",
                                              "node none at 5 selected leaf"}));
}

TEST_F(Headless, ExceptionsFromHandlersReachTheApplicationHook) {
  TControl& button = Add(ControlKind::Button, "Button");
  button.OnClick = [](TControl&) { throw std::runtime_error("handler failed"); };
  backend.ShowForm(form);
  EXPECT_THROW(backend.Click(button), std::runtime_error);

  int discarded = 0;
  ui::Application().OnException = [&](std::exception_ptr) { ++discarded; };
  EXPECT_TRUE(backend.Click(button));
  EXPECT_EQ(discarded, 1);
}

TEST_F(Headless, BusyWorkLetsTheUserActAndTheCloseBoxAsks) {
  TControl& cancel = Add(ControlKind::Button, "Cancel");
  int cancels = 0;
  cancel.OnClick = [&](TControl&) { ++cancels; };
  backend.ShowForm(form);
  backend.OnProcessMessages = [&] {
    backend.Click(cancel);
    ui::ProcessMessages();  // not run again from inside
  };
  ui::ProcessMessages();
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(backend.ProcessMessagesCalls(), 2u);

  bool allow = false;
  form.OnCloseQuery = [&](TForm&, bool& canClose) { canClose = allow; };
  EXPECT_TRUE(backend.CloseWindow(form));
  EXPECT_TRUE(form.Visible());
  allow = true;
  EXPECT_TRUE(backend.CloseWindow(form));
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(backend.CloseWindow(form));
  EXPECT_EQ(backend.FrontForm(), nullptr);
}
