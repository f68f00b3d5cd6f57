// What the user does to the real windows reaches the model, then the slots.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "win32_fixture.h"

using ui::ControlKind;
using ui::TControl;

namespace {

class Actions : public test::Win32Test {};

TEST_F(Actions, ClickingACheckBoxUpdatesTheModelBeforeOnClick) {
  ui::TForm& form = NewForm("TCheck");
  TControl& check = form.AddControl(ControlKind::CheckBox, "Icon", nullptr, {8, 8, 120, 17});
  std::vector<bool> seen;
  check.OnClick = [&](TControl& sender) { seen.push_back(sender.Checked()); };
  backend.CreateForm(form);
  backend.ShowForm(form);
  SendMessageW(Window(check), BM_CLICK, 0, 0);
  EXPECT_EQ(seen, std::vector<bool>{true});
  EXPECT_TRUE(check.Checked());
  EXPECT_EQ(SendMessageW(Window(check), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(Window(check), BM_CLICK, 0, 0);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  EXPECT_EQ(SendMessageW(Window(check), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(Actions, RadioButtonsFollowTheModel) {
  ui::TForm& form = NewForm("TRadio");
  TControl& a = form.AddControl(ControlKind::RadioButton, "A", nullptr, {8, 8, 120, 17});
  TControl& b = form.AddControl(ControlKind::RadioButton, "B", nullptr, {8, 28, 120, 17});
  a.SetChecked(true);
  int clicks = 0;
  a.OnClick = [&](TControl&) { ++clicks; };
  b.OnClick = [&](TControl&) { ++clicks; };
  backend.CreateForm(form);
  backend.ShowForm(form);
  SendMessageW(Window(b), BM_CLICK, 0, 0);
  EXPECT_TRUE(b.Checked());
  EXPECT_FALSE(a.Checked());
  EXPECT_EQ(SendMessageW(Window(a), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks, 1);
  // Clicking the chosen one changes nothing.
  SendMessageW(Window(b), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Actions, TypingIntoAnEditUpdatesTheModelThenOnChange) {
  ui::TForm& form = NewForm("TType");
  TControl& edit = form.AddControl(ControlKind::Edit, "Name", nullptr, {8, 8, 120, 21});
  std::vector<std::string> seen;
  edit.OnChange = [&](TControl& sender) { seen.push_back(sender.Text()); };
  backend.CreateForm(form);
  backend.ShowForm(form);
  for (wchar_t c : std::wstring(L"ab"))
    SendMessageW(Window(edit), WM_CHAR, c, 1);
  EXPECT_EQ(edit.Text(), "ab");
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "ab"}));
  SendMessageW(Window(edit), WM_CHAR, ui::kKeyBackspace, 1);
  EXPECT_EQ(edit.Text(), "a");
  EXPECT_EQ(seen.size(), 3u);
  // Setting the text from code calls no slot.
  edit.SetText("xyz");
  EXPECT_EQ(test::TextOf(Window(edit)), u"xyz");
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(Actions, TypingIntoAnEditableComboAndAMemo) {
  ui::TForm& form = NewForm("TTypeMore");
  TControl& combo = form.AddControl(ControlKind::ComboBox, "Host", nullptr, {8, 8, 120, 21});
  combo.SetEditable(true).SetItems({"localhost"});
  TControl& memo = form.AddControl(ControlKind::Memo, "Notes", nullptr, {8, 40, 200, 60});
  int comboChanges = 0;
  int memoChanges = 0;
  combo.OnChange = [&](TControl&) { ++comboChanges; };
  memo.OnChange = [&](TControl&) { ++memoChanges; };
  backend.CreateForm(form);
  backend.ShowForm(form);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(Window(combo), &info));
  ASSERT_NE(info.hwndItem, nullptr);
  SendMessageW(info.hwndItem, WM_CHAR, L'm', 1);
  SendMessageW(info.hwndItem, WM_CHAR, L'x', 1);
  EXPECT_EQ(combo.Text(), "mx");
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(comboChanges, 2);

  SendMessageW(Window(memo), WM_CHAR, L'a', 1);
  SendMessageW(Window(memo), WM_CHAR, VK_RETURN, 1);
  SendMessageW(Window(memo), WM_CHAR, L'b', 1);
  EXPECT_EQ(memo.Text(), "a\r\nb") << "Enter breaks the line in a memo";
  EXPECT_EQ(memoChanges, 3);
}

TEST_F(Actions, PickingAComboItemUpdatesItemIndexAndText) {
  ui::TForm& form = NewForm("TPick");
  TControl& combo = form.AddControl(ControlKind::ComboBox, "Country", nullptr, {8, 8, 120, 21});
  combo.SetItems({"Austria", "Belgium", "Chile"});
  combo.SetItemIndex(0);
  std::vector<std::string> events;
  combo.OnChange = [&](TControl& sender) { events.push_back("change " + sender.Text()); };
  combo.OnClick = [&](TControl& sender) {
    events.push_back("click " + std::to_string(sender.ItemIndex()));
  };
  backend.CreateForm(form);
  backend.ShowForm(form);
  SetFocus(Window(combo));
  // The arrow key picks the next item of a drop-down list, as a user would.
  SendMessageW(Window(combo), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.Text(), "Belgium");
  EXPECT_EQ(events, (std::vector<std::string>{"change Belgium", "click 1"}));
}

TEST_F(Actions, ListBoxSelectionReachesTheModel) {
  ui::TForm& form = NewForm("TList");
  TControl& list = form.AddControl(ControlKind::ListBox, "List", nullptr, {8, 8, 120, 80});
  list.SetItems({"one", "two"});
  int clicks = 0;
  list.OnClick = [&](TControl&) { ++clicks; };
  backend.CreateForm(form);
  backend.ShowForm(form);
  SetFocus(Window(list));
  SendMessageW(Window(list), WM_KEYDOWN, VK_DOWN, 1);
  SendMessageW(Window(list), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(clicks, 2);
}

TEST_F(Actions, CheckListBoxTogglesOnSpace) {
  ui::TForm& form = NewForm("TCheckList");
  TControl& list = form.AddControl(ControlKind::CheckListBox, "List", nullptr, {8, 8, 120, 80});
  list.SetItems({"one", "two"});
  list.SetItemIndex(1);
  list.SetItemEnabled(0, false);
  int clicks = 0;
  list.OnClick = [&](TControl&) { ++clicks; };
  backend.CreateForm(form);
  backend.ShowForm(form);
  SendMessageW(Window(list), WM_CHAR, L' ', 1);
  EXPECT_TRUE(list.ItemChecked(1));
  EXPECT_EQ(clicks, 1);
  list.SetItemIndex(0);
  SendMessageW(Window(list), WM_CHAR, L' ', 1);
  EXPECT_FALSE(list.ItemChecked(0)) << "a disabled item keeps its check mark";
  EXPECT_EQ(clicks, 1);
}

TEST_F(Actions, CheckListBoxTogglesOnAClickOnTheCheckBox) {
  ui::TForm& form = NewForm("TCheckClick");
  TControl& list = form.AddControl(ControlKind::CheckListBox, "List", nullptr, {8, 8, 120, 80});
  list.SetItems({"one", "two"});
  int clicks = 0;
  list.OnClick = [&](TControl&) { ++clicks; };
  backend.CreateForm(form);
  backend.ShowForm(form);
  HWND window = Window(list);
  RECT item;
  ASSERT_NE(SendMessageW(window, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)), LB_ERR);
  const int y = (item.top + item.bottom) / 2;
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 6, y));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(item.left + 6, y));
  backend.ProcessMessages();
  EXPECT_TRUE(list.ItemChecked(1));
  EXPECT_EQ(list.ItemIndex(), 1);
  EXPECT_EQ(clicks, 1) << "one click, one OnClick";
  // On the caption the item is only selected.
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 60, item.top - 2));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(item.left + 60, item.top - 2));
  backend.ProcessMessages();
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_FALSE(list.ItemChecked(0));
  EXPECT_TRUE(list.ItemChecked(1));
  EXPECT_EQ(clicks, 2);
}

TEST_F(Actions, TreeClickGivesTheNodeUnderThePointer) {
  ui::TForm& form = NewForm("TTreeClick");
  TControl& tree = form.AddControl(ControlKind::TreeView, "Tree", nullptr, {8, 8, 250, 180});
  ui::TTreeNode& first = tree.AddNode("First", 1);
  first.SetImageIndex(0);
  ui::TTreeNode& second = tree.AddNode("Second", 2);
  ui::TTreeNode& child = second.AddChild("Child", 3);
  child.SetImageIndex(1);
  tree.FullExpand();
  std::vector<ui::TNodeClick> clicks;
  std::vector<ui::TTreeNode*> selectedAtClick;
  tree.OnNodeClick = [&](TControl& sender, const ui::TNodeClick& click) {
    clicks.push_back(click);
    selectedAtClick.push_back(sender.SelectedNode());
  };
  backend.CreateForm(form);
  backend.ShowForm(form);
  HWND window = Window(tree);

  RECT rect{};
  // TVM_GETITEMRECT takes the item in the rectangle it fills.
  HTREEITEM item = backend.ItemOf(child);
  std::memcpy(&rect, &item, sizeof item);
  ASSERT_TRUE(SendMessageW(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
  const int x = (rect.left + rect.right) / 2;
  const int y = (rect.top + rect.bottom) / 2;
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  backend.ProcessMessages();
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].Node, &child);
  EXPECT_EQ(clicks[0].X, x);  // 96 DPI under Wine: model and screen agree
  EXPECT_EQ(clicks[0].Y, y);
  EXPECT_EQ(selectedAtClick[0], &child) << "the node is selected before the slot runs";
  EXPECT_EQ(tree.SelectedNode(), &child);

  // Right of the first node's caption is still its row.
  HTREEITEM firstItem = backend.ItemOf(first);
  std::memcpy(&rect, &firstItem, sizeof firstItem);
  ASSERT_TRUE(SendMessageW(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
  const int rowY = (rect.top + rect.bottom) / 2;
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rect.right + 20, rowY));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(rect.right + 20, rowY));
  backend.ProcessMessages();
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[1].Node, &first);
  EXPECT_EQ(clicks[1].X, rect.right + 20);
  EXPECT_EQ(tree.SelectedNode(), &first);
  EXPECT_EQ(TreeView_GetSelection(window), firstItem);

  // Below the last node: no node.
  RECT client;
  GetClientRect(window, &client);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, client.bottom - 3));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, client.bottom - 3));
  backend.ProcessMessages();
  ASSERT_EQ(clicks.size(), 3u);
  EXPECT_EQ(clicks[2].Node, nullptr);
  EXPECT_EQ(tree.SelectedNode(), &first);
}

TEST_F(Actions, SpaceInTheTreeReachesItsKeyPress) {
  ui::TForm& form = NewForm("TTreeKey");
  TControl& tree = form.AddControl(ControlKind::TreeView, "Tree", nullptr, {8, 8, 200, 100});
  tree.AddNode("Node", 1);
  std::u16string keys;
  tree.OnKeyPress = [&](TControl&, char16_t& key) { keys += key; };
  backend.CreateForm(form);
  backend.ShowForm(form);
  SendMessageW(Window(tree), WM_CHAR, L' ', 1);
  EXPECT_EQ(keys, u" ");
}

class Keys : public test::Win32Test {
 protected:
  Keys() {
    form = &NewForm("TKeys");
    edit = &form->AddControl(ControlKind::Edit, "Edit", nullptr, {8, 8, 120, 21});
    ok = &form->AddControl(ControlKind::Button, "Ok", nullptr, {8, 40, 75, 25});
    ok->SetText("OK").SetDefault(true);
    cancel = &form->AddControl(ControlKind::Button, "Cancel", nullptr, {90, 40, 75, 25});
    cancel->SetText("Cancel").SetCancel(true);
    ok->OnClick = [this](TControl&) { events.push_back("ok"); };
    cancel->OnClick = [this](TControl&) { events.push_back("cancel"); };
    edit->OnKeyPress = [this](TControl&, char16_t& key) {
      events.push_back("edit " + std::to_string(key));
    };
  }

  ui::TForm* form;
  TControl* edit;
  TControl* ok;
  TControl* cancel;
  std::vector<std::string> events;
};

TEST_F(Keys, KeyPreviewSeesEscapeFirstAndCanConsumeIt) {
  form->SetKeyPreview(true);
  bool consume = true;
  form->OnKeyPress = [&](ui::TForm&, char16_t& key) {
    events.push_back("form " + std::to_string(key));
    if (consume && key == ui::kKeyEscape) key = 0;
  };
  backend.CreateForm(*form);
  backend.ShowForm(*form);
  SendMessageW(Window(*edit), WM_CHAR, VK_ESCAPE, 1);
  EXPECT_EQ(events, std::vector<std::string>{"form 27"});
  events.clear();
  consume = false;
  SendMessageW(Window(*edit), WM_CHAR, VK_ESCAPE, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"form 27", "edit 27", "cancel"}));
}

TEST_F(Keys, EnterPressesTheDefaultButton) {
  backend.CreateForm(*form);
  backend.ShowForm(*form);
  SendMessageW(Window(*edit), WM_CHAR, VK_RETURN, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"edit 13", "ok"}));
  EXPECT_EQ(edit->Text(), "") << "a single-line edit takes no line break";
  // Without key preview the form's handler does not see the key.
  int formKeys = 0;
  form->OnKeyPress = [&](ui::TForm&, char16_t&) { ++formKeys; };
  SendMessageW(Window(*edit), WM_CHAR, L'x', 1);
  EXPECT_EQ(formKeys, 0);
  EXPECT_EQ(edit->Text(), "x");
  // A disabled default button is not pressed.
  events.clear();
  ok->SetEnabled(false);
  SendMessageW(Window(*edit), WM_CHAR, VK_RETURN, 1);
  EXPECT_EQ(events, std::vector<std::string>{"edit 13"});
}

TEST_F(Keys, TabMovesTheFocusInCreationOrderOverReachableControls) {
  backend.CreateForm(*form);
  backend.ShowForm(*form);
  SetFocus(Window(*edit));
  EXPECT_EQ(form->ActiveControl(), edit);
  ok->SetEnabled(false);
  SendMessageW(Window(*edit), WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(GetFocus(), Window(*cancel));
  EXPECT_EQ(form->ActiveControl(), cancel);
  SendMessageW(Window(*cancel), WM_KEYDOWN, VK_TAB, 1);
  EXPECT_EQ(GetFocus(), Window(*edit));
  // The model can move the focus too.
  ok->SetEnabled(true);
  ok->SetFocus();
  EXPECT_EQ(GetFocus(), Window(*ok));
}

TEST_F(Keys, AltAndAMarkedLetterActsOnThatControl) {
  ok->SetText("&Next");
  TControl& label = form->AddControl(ControlKind::Label, "FolderLabel", nullptr, {8, 80, 60, 13});
  label.SetText("&Folder:");
  TControl& folder = form->AddControl(ControlKind::Edit, "Folder", nullptr, {70, 80, 100, 21});
  label.SetLinked(&folder);
  backend.CreateForm(*form);
  backend.ShowForm(*form);
  SetFocus(Window(*edit));
  SendMessageW(Window(*edit), WM_SYSCHAR, L'f', 1 << 29);
  EXPECT_EQ(GetFocus(), Window(folder));
  EXPECT_EQ(form->ActiveControl(), &folder);
  SendMessageW(Window(folder), WM_SYSCHAR, L'N', 1 << 29);
  EXPECT_EQ(events, std::vector<std::string>{"ok"});
  SendMessageW(Window(folder), WM_SYSCHAR, L'q', 1 << 29);
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(Actions, HintsAreShownAsTooltips) {
  ui::TForm& form = NewForm("THints");
  TControl& button = form.AddControl(ControlKind::Button, "Browse", nullptr, {8, 8, 75, 25});
  button.SetHint("Choose the folder");
  backend.CreateForm(form);
  // The tooltip window is a top-level window owned by the form's.
  struct TSearch {
    HWND Owner;
    HWND Found;
  } search{Window(form), nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) {
        auto* wanted = reinterpret_cast<TSearch*>(data);
        if (test::SameClass(window, TOOLTIPS_CLASSW) &&
            GetWindow(window, GW_OWNER) == wanted->Owner)
          wanted->Found = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  HWND tips = search.Found;
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[80] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = Window(form);
  tool.uId = reinterpret_cast<UINT_PTR>(Window(button));
  tool.lpszText = text;
  SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L"Choose the folder");
  button.SetHint("");
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST_F(Actions, CloseBoxAsksTheCloseQuery) {
  ui::TForm& form = NewForm("TClose");
  bool allow = false;
  int closed = 0;
  form.OnCloseQuery = [&](ui::TForm&, bool& canClose) { canClose = allow; };
  form.OnClose = [&](ui::TForm&) { ++closed; };
  backend.CreateForm(form);
  backend.ShowForm(form);
  SendMessageW(Window(form), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(Window(form)));
  EXPECT_EQ(closed, 0);
  allow = true;
  SendMessageW(Window(form), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(Window(form)));
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(closed, 1);
}

}  // namespace
