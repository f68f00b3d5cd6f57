// The windows the backend makes for a form and how they follow the model.
#include <gtest/gtest.h>

#include "screen_capture.h"
#include "ui/layout.h"
#include "win32_fixture.h"

using ui::ControlKind;
using ui::TControl;

namespace {

using test::HasStyle;
using test::SameClass;
using test::TextOf;

class Windows : public test::Win32Test {};

TEST_F(Windows, EachKindGetsItsWindowClassTextAndStyle) {
  ui::TForm& form = NewForm("TKinds", 400, 400);
  TControl& label = form.AddControl(ControlKind::Label, "Plain", nullptr, {8, 8, 100, 13});
  label.SetText("50% & more");
  TControl& accel = form.AddControl(ControlKind::Label, "Accel", nullptr, {8, 24, 100, 13});
  accel.SetText("&Folder:");
  TControl& button = form.AddControl(ControlKind::Button, "Next", nullptr, {8, 40, 75, 25});
  button.SetText("&Next >").SetDefault(true);
  TControl& check = form.AddControl(ControlKind::CheckBox, "Check", nullptr, {8, 70, 100, 17});
  check.SetText("Desktop icon").SetChecked(true);
  TControl& group = form.AddControl(ControlKind::GroupBox, "Group", nullptr, {8, 90, 200, 80});
  group.SetText("Mode");
  TControl& radio = form.AddControl(ControlKind::RadioButton, "Radio", &group, {8, 16, 100, 17});
  radio.SetText("Service");
  TControl& panel = form.AddControl(ControlKind::Panel, "Header", nullptr, {220, 8, 150, 60});
  panel.SetColor(ui::kColorWhite);
  TControl& edit = form.AddControl(ControlKind::Edit, "Password", nullptr, {8, 180, 100, 21});
  edit.SetText("secret").SetPasswordChar(u'*');
  TControl& memo = form.AddControl(ControlKind::Memo, "License", nullptr, {8, 210, 200, 60});
  memo.SetText("line one\nline two").SetReadOnly(true);
  TControl& combo = form.AddControl(ControlKind::ComboBox, "Country", nullptr, {8, 280, 120, 21});
  combo.SetItems({"Austria", "Belgium"});
  TControl& list = form.AddControl(ControlKind::ListBox, "List", nullptr, {220, 80, 150, 60});
  TControl& checks =
      form.AddControl(ControlKind::CheckListBox, "Checks", nullptr, {220, 150, 150, 60});
  TControl& image = form.AddControl(ControlKind::Image, "Logo", &panel, {4, 4, 49, 49});
  image.SetPicture("LOGO");
  TControl& tree = form.AddControl(ControlKind::TreeView, "Tree", nullptr, {220, 220, 150, 80});
  TControl& progress =
      form.AddControl(ControlKind::ProgressBar, "Progress", nullptr, {8, 310, 200, 16});
  TControl& folders =
      form.AddControl(ControlKind::DirectoryList, "Folders", nullptr, {220, 310, 150, 60});
  TControl& drives = form.AddControl(ControlKind::DriveList, "Drives", nullptr, {8, 340, 120, 21});
  backend.CreateForm(form);

  HWND window = Window(form);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(SameClass(window, L"TolvaSetupForm"));
  EXPECT_EQ(TextOf(window), u"TKinds");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(form.Observer(), &backend);

  EXPECT_TRUE(SameClass(Window(label), L"Static"));
  EXPECT_EQ(TextOf(Window(label)), u"50% & more");
  EXPECT_TRUE(HasStyle(Window(label), SS_NOPREFIX));
  EXPECT_FALSE(HasStyle(Window(accel), SS_NOPREFIX));
  EXPECT_TRUE(SameClass(Window(button), L"Button"));
  EXPECT_EQ(TextOf(Window(button)), u"&Next >");
  EXPECT_EQ(test::StyleOf(Window(button)) & 0xF, BS_DEFPUSHBUTTON);
  EXPECT_EQ(test::StyleOf(Window(check)) & 0xF, BS_CHECKBOX);
  EXPECT_EQ(SendMessageW(Window(check), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(test::StyleOf(Window(group)) & 0xF, BS_GROUPBOX);
  EXPECT_EQ(test::StyleOf(Window(radio)) & 0xF, BS_RADIOBUTTON);
  EXPECT_TRUE(SameClass(Window(panel), L"TolvaSetupPanel"));
  EXPECT_TRUE(SameClass(Window(edit), L"Edit"));
  EXPECT_EQ(TextOf(Window(edit)), u"secret");
  EXPECT_EQ(SendMessageW(Window(edit), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(TextOf(Window(memo)), u"line one\r\nline two");
  EXPECT_TRUE(HasStyle(Window(memo), ES_MULTILINE | ES_READONLY | WS_VSCROLL));
  EXPECT_TRUE(SameClass(Window(combo), L"ComboBox"));
  EXPECT_EQ(test::StyleOf(Window(combo)) & 0x3, CBS_DROPDOWNLIST);
  EXPECT_EQ(SendMessageW(Window(combo), CB_GETCOUNT, 0, 0), 2);
  EXPECT_TRUE(SameClass(Window(list), L"ListBox"));
  EXPECT_TRUE(SameClass(Window(checks), L"ListBox"));
  EXPECT_TRUE(HasStyle(Window(checks), LBS_OWNERDRAWFIXED | LBS_HASSTRINGS));
  EXPECT_TRUE(SameClass(Window(image), L"TolvaSetupImage"));
  EXPECT_TRUE(SameClass(Window(tree), L"SysTreeView32"));
  EXPECT_NE(TreeView_GetImageList(Window(tree), TVSIL_STATE), nullptr);
  EXPECT_TRUE(SameClass(Window(progress), L"msctls_progress32"));
  EXPECT_TRUE(SameClass(Window(folders), L"ListBox"));
  EXPECT_TRUE(SameClass(Window(drives), L"ComboBox"));
  EXPECT_EQ(test::StyleOf(Window(drives)) & 0x3, CBS_DROPDOWNLIST);

  // The image lies in the panel's window; the radio button, inside a group
  // box, in the form's window at the group box's offset.
  EXPECT_EQ(GetParent(Window(image)), Window(panel));
  EXPECT_EQ(GetParent(Window(radio)), window);
  RECT radioRect;
  GetWindowRect(Window(radio), &radioRect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&radioRect), 2);
  EXPECT_EQ(radioRect.left, 16);
  EXPECT_EQ(radioRect.top, 106);

  // Creation order is the order of the form's child windows (the tab order),
  // but group boxes lie below everything: what they frame is above them.
  std::vector<HWND> expected;
  std::vector<HWND> groupBoxes;
  for (const auto& control : form.Controls())
    if (GetParent(Window(*control)) == window)
      (control->Kind() == ControlKind::GroupBox ? groupBoxes : expected)
          .push_back(Window(*control));
  expected.insert(expected.end(), groupBoxes.begin(), groupBoxes.end());
  std::vector<HWND> actual;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    actual.push_back(child);
  EXPECT_EQ(actual, expected);
}

TEST_F(Windows, ModelChangesReachTheWindows) {
  ui::TForm& form = NewForm("TChanges");
  TControl& label = form.AddControl(ControlKind::Label, "Label", nullptr, {8, 8, 100, 13});
  TControl& group = form.AddControl(ControlKind::GroupBox, "Group", nullptr, {8, 30, 200, 80});
  TControl& first = form.AddControl(ControlKind::RadioButton, "First", &group, {8, 16, 90, 17});
  TControl& second = form.AddControl(ControlKind::RadioButton, "Second", &group, {8, 36, 90, 17});
  TControl& combo = form.AddControl(ControlKind::ComboBox, "Combo", nullptr, {8, 120, 120, 21});
  TControl& progress = form.AddControl(ControlKind::ProgressBar, "Bar", nullptr, {8, 150, 200, 16});
  TControl& edit = form.AddControl(ControlKind::Edit, "Edit", nullptr, {8, 170, 100, 21});
  backend.CreateForm(form);
  backend.ShowForm(form);
  EXPECT_TRUE(IsWindowVisible(Window(form)));
  EXPECT_TRUE(form.Visible());

  label.SetText("Copying files");
  EXPECT_EQ(TextOf(Window(label)), u"Copying files");
  form.SetCaption("Setup - step 2");
  EXPECT_EQ(TextOf(Window(form)), u"Setup - step 2");

  first.SetChecked(true);
  EXPECT_EQ(SendMessageW(Window(first), BM_GETCHECK, 0, 0), BST_CHECKED);
  second.SetChecked(true);
  EXPECT_EQ(SendMessageW(Window(first), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(Window(second), BM_GETCHECK, 0, 0), BST_CHECKED);

  // Hiding or disabling the group box reaches what lies in it.
  group.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(Window(group)));
  EXPECT_FALSE(IsWindowVisible(Window(first)));
  group.SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(Window(first)));
  group.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(Window(second)));
  group.SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(Window(second)));
  label.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(Window(label)));

  combo.SetItems({"one", "two", "three"});
  EXPECT_EQ(SendMessageW(Window(combo), CB_GETCOUNT, 0, 0), 3);
  wchar_t item[32] = {};
  SendMessageW(Window(combo), CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L"three");
  combo.SetItemIndex(1);
  EXPECT_EQ(SendMessageW(Window(combo), CB_GETCURSEL, 0, 0), 1);
  combo.SetItems({"only"});
  EXPECT_EQ(SendMessageW(Window(combo), CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageW(Window(combo), CB_GETCURSEL, 0, 0), CB_ERR);

  // Editable and back: the window is made again with the other style.
  combo.SetEditable(true);
  EXPECT_EQ(test::StyleOf(Window(combo)) & 0x3, CBS_DROPDOWN);
  EXPECT_EQ(SendMessageW(Window(combo), CB_GETCOUNT, 0, 0), 1);

  progress.SetRange(0, 200);
  progress.SetPosition(150);
  EXPECT_EQ(SendMessageW(Window(progress), PBM_GETPOS, 0, 0), 150);
  EXPECT_EQ(SendMessageW(Window(progress), PBM_GETRANGE, FALSE, 0), 200);

  edit.SetReadOnly(true);
  EXPECT_TRUE(HasStyle(Window(edit), ES_READONLY));
  edit.SetText("abcdef");
  edit.SetSelection(2, 3);
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(Window(edit), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 5u);

  backend.HideForm(form);
  EXPECT_FALSE(IsWindowVisible(Window(form)));
  EXPECT_FALSE(form.Visible());
}

TEST_F(Windows, DockedControlsArePlacedByTheLayout) {
  ui::TForm& form = NewForm("TDocked", 400, 300);
  TControl& header = form.AddControl(ControlKind::Panel, "Header", nullptr, {0, 0, 10, 60});
  header.SetAlign(ui::TAlign::Top);
  TControl& body = form.AddControl(ControlKind::Panel, "Body", nullptr, {0, 0, 10, 10});
  body.SetAlign(ui::TAlign::Client);
  backend.CreateForm(form);
  RECT rect;
  GetClientRect(Window(header), &rect);
  EXPECT_EQ(rect.right, 400);
  EXPECT_EQ(rect.bottom, 60);
  GetWindowRect(Window(body), &rect);
  MapWindowPoints(nullptr, Window(form), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.top, 60);
  EXPECT_EQ(rect.bottom, 300);

  header.SetVisible(false);
  GetWindowRect(Window(body), &rect);
  MapWindowPoints(nullptr, Window(form), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.top, 0);
}

TEST_F(Windows, TreeNodesShowTheirCheckPictures) {
  ui::TForm& form = NewForm("TTree");
  TControl& tree = form.AddControl(ControlKind::TreeView, "Tree", nullptr, {8, 8, 200, 150});
  backend.CreateForm(form);
  ui::TTreeNode& engine = tree.AddNode("Services", 0);
  engine.SetImageIndex(0).SetSelectedIndex(0);
  ui::TTreeNode& modules = tree.AddNode("Modules", 1);
  modules.SetImageIndex(3).SetSelectedIndex(3);
  ui::TTreeNode& webmail = modules.AddChild("Webmail", 2);
  webmail.SetImageIndex(1).SetSelectedIndex(1);
  HWND window = Window(tree);
  EXPECT_EQ(TreeView_GetCount(window), 3u);

  auto stateOf = [&](const ui::TTreeNode& node) {
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_STATE;
    item.hItem = backend.ItemOf(node);
    item.stateMask = TVIS_STATEIMAGEMASK;
    EXPECT_TRUE(SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    return static_cast<int>((item.state & TVIS_STATEIMAGEMASK) >> 12);
  };
  auto textOf = [&](const ui::TTreeNode& node) {
    wchar_t buffer[64] = {};
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = backend.ItemOf(node);
    item.pszText = buffer;
    item.cchTextMax = 64;
    SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return std::wstring(buffer);
  };
  EXPECT_EQ(textOf(engine), L"Services");
  EXPECT_EQ(textOf(webmail), L"Webmail");
  // State image n + 1 shows picture n: 0 checked, 1 unchecked, 3 partly.
  EXPECT_EQ(stateOf(engine), 1);
  EXPECT_EQ(stateOf(modules), 4);
  EXPECT_EQ(stateOf(webmail), 2);
  EXPECT_EQ(TreeView_GetParent(window, backend.ItemOf(webmail)), backend.ItemOf(modules));

  webmail.SetImageIndex(0);
  EXPECT_EQ(stateOf(webmail), 1);
  webmail.SetText("Webmail client");
  EXPECT_EQ(textOf(webmail), L"Webmail client");

  tree.FullExpand();
  EXPECT_TRUE(TreeView_GetItemState(window, backend.ItemOf(modules), TVIS_EXPANDED) &
              TVIS_EXPANDED);
  tree.SelectNode(&webmail);
  EXPECT_EQ(TreeView_GetSelection(window), backend.ItemOf(webmail));

  tree.ClearNodes();
  EXPECT_EQ(TreeView_GetCount(window), 0u);
  EXPECT_EQ(backend.ItemOf(webmail), nullptr);
}

TEST_F(Windows, ScreenCenterPlacesTheWindowInTheMiddleOfTheWorkArea) {
  ui::TForm& form = NewForm("TCentered", 320, 240);
  form.SetPosition(ui::TFormPosition::ScreenCenter);
  backend.CreateForm(form);
  RECT work;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  RECT own;
  GetWindowRect(Window(form), &own);
  EXPECT_NEAR((own.left + own.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((own.top + own.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST_F(Windows, WaitCursorIsShownOverTheControls) {
  ui::TForm& form = NewForm("TWait");
  TControl& button = form.AddControl(ControlKind::Button, "Button", nullptr, {8, 8, 75, 25});
  backend.CreateForm(form);
  backend.ShowForm(form);
  HCURSOR wait = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  {
    ui::TWaitCursor busy;
    SetCursor(nullptr);
    SendMessageW(Window(button), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window(button)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), wait);
  }
  SetCursor(nullptr);
  SendMessageW(Window(button), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window(button)),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), wait);
}

TEST_F(Windows, LabelsShowTheirFontColourOnTheirPanelsColour) {
  ui::TForm& form = NewForm("TColours", 200, 100);
  TControl& panel = form.AddControl(ControlKind::Panel, "Header", nullptr, {0, 0, 200, 50});
  panel.SetColor(ui::kColorWhite);
  TControl& label = form.AddControl(ControlKind::Label, "Link", &panel, {10, 10, 150, 30});
  label.SetText("MMMMMMMM").SetFont(ui::TFont().Sized(14).Bolded().Colored(ui::Rgb(0, 0, 255)));
  backend.CreateForm(form);
  backend.ShowForm(form);
  backend.ProcessMessages();
  const test::TShot shot = test::Capture(Window(form));
  int blue = 0;
  int white = 0;
  for (int y = 10; y < 40; ++y)
    for (int x = 10; x < 160; ++x) {
      const COLORREF c = shot.At(x, y);
      blue += c == RGB(0, 0, 255);
      white += c == RGB(255, 255, 255);
    }
  EXPECT_GT(blue, 50) << "the text is drawn in the label's font colour";
  EXPECT_GT(white, 1000) << "on the panel's white";
  // Below the panel the form's own colour shows.
  EXPECT_EQ(shot.At(100, 80), GetSysColor(COLOR_BTNFACE));
}

TEST_F(Windows, FormIconIsBuiltAtRunTime) {
  ui::TForm& form = NewForm("TIcon");
  backend.CreateForm(form);
  EXPECT_NE(SendMessageW(Window(form), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(Window(form), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(Windows, DestroyedFormTakesItsWindowAlong) {
  ui::TForm& form = NewForm("TGone");
  backend.CreateForm(form);
  HWND window = Window(form);
  ASSERT_TRUE(IsWindow(window));
  forms.clear();
  EXPECT_FALSE(IsWindow(window));
}

class ScaledWindows : public test::Win32Test {
 protected:
  ScaledWindows() : Win32Test(144) {}
};

TEST_F(ScaledWindows, SizesAndFontsFollowTheDpi) {
  ui::TForm& form = NewForm("TScaled", 300, 200);
  form.SetBorderStyle(ui::TBorderStyle::Dialog);
  TControl& label = form.AddControl(ControlKind::Label, "Label", nullptr, {10, 20, 100, 30});
  backend.CreateForm(form);
  RECT client;
  GetClientRect(Window(form), &client);
  EXPECT_EQ(client.right, 450);
  EXPECT_EQ(client.bottom, 300);
  RECT rect;
  GetWindowRect(Window(label), &rect);
  MapWindowPoints(nullptr, Window(form), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 15);
  EXPECT_EQ(rect.top, 30);
  EXPECT_EQ(rect.right - rect.left, 150);
  EXPECT_EQ(rect.bottom - rect.top, 45);
  auto font = reinterpret_cast<HFONT>(SendMessageW(Window(label), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW description{};
  GetObjectW(font, sizeof description, &description);
  EXPECT_EQ(description.lfHeight, -MulDiv(8, 144, 72));  // the form's Tahoma 8
  EXPECT_STREQ(description.lfFaceName, L"Tahoma");

  label.SetFont(ui::TFont().Sized(12).Bolded());
  font = reinterpret_cast<HFONT>(SendMessageW(Window(label), WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof description, &description);
  EXPECT_EQ(description.lfHeight, -24);
  EXPECT_EQ(description.lfWeight, FW_BOLD);

  form.SetClientSize(200, 100);
  GetClientRect(Window(form), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 150);
}

}  // namespace

namespace {

bool TopWindowTitled(const wchar_t* title) {
  return FindWindowW(L"TolvaSetupForm", title) != nullptr;
}

}  // namespace

// Start-up pays only for the windows it shows: a form's windows are made
// when it is first shown or asked for, from the model as it is then.
TEST_F(Windows, WindowsAreMadeWhenFirstShownWithTheModelOfThatMoment) {
  ui::TForm& form = NewForm("TLazyForm", 200, 100);
  TControl& label = form.AddControl(ControlKind::Label, "Text", nullptr, {8, 8, 150, 13});
  backend.CreateForm(form);
  EXPECT_FALSE(TopWindowTitled(L"TLazyForm"));
  form.SetCaption("Lazy caption");
  label.SetText("changed before shown");
  EXPECT_FALSE(TopWindowTitled(L"Lazy caption"));

  backend.ShowForm(form);
  EXPECT_TRUE(TopWindowTitled(L"Lazy caption"));
  EXPECT_EQ(TextOf(Window(label)), u"changed before shown");
  EXPECT_TRUE(IsWindowVisible(Window(form)));

  // Made visible through the model alone, a form gets its windows too.
  ui::TForm& other = NewForm("TLazyOther", 200, 100);
  backend.CreateForm(other);
  EXPECT_FALSE(TopWindowTitled(L"TLazyOther"));
  other.SetVisible(true);
  EXPECT_TRUE(TopWindowTitled(L"TLazyOther"));
}
