#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

#include "platform/clock.h"
#include "ui/application.h"
#include "ui/backend.h"
#include "ui/form.h"
#include "ui/headless/headless_backend.h"
#include "ui/layout.h"

using ui::ControlKind;
using ui::TControl;
using ui::TForm;

namespace {

// Records every change the model reports.
struct Recorder : ui::TModelObserver {
  struct Entry {
    const TControl* Control;
    const ui::TTreeNode* Node;
    ui::TChange Change;
  };
  void Changed(TForm&, TControl* control, ui::TTreeNode* node, ui::TChange change) override {
    entries.push_back({control, node, change});
  }
  std::vector<Entry> entries;
};

}  // namespace

TEST(FormModel, NarrowControlsKeepOnlyWhatTheAnsiCodePageHolds) {
  TForm narrow("TNarrow", "Narrow");
  TForm wide("TWide", "Wide", true);
  TControl& label = narrow.AddControl(ControlKind::Label, "Label", nullptr, {});
  TControl& wideLabel = wide.AddControl(ControlKind::Label, "Label", nullptr, {});

  const std::u16string cyrillic = u"\u041f\u0440\u0438 caf\u00e9";
  label.SetWideText(cyrillic);
  wideLabel.SetWideText(cyrillic);
  EXPECT_EQ(wideLabel.WideText(), cyrillic);
  EXPECT_EQ(label.WideText().size(), cyrillic.size());
  EXPECT_NE(label.WideText(), cyrillic);
  // The part the code page can hold survives unchanged.
  EXPECT_EQ(label.WideText().substr(3), u" caf\u00e9");
  EXPECT_EQ(label.Text().substr(3), " caf\xe9");

  // ANSI text comes back byte for byte, also the bytes without a character.
  const std::string ansi = "\x80\x81\xe9 & <x>";
  label.SetText(ansi);
  EXPECT_EQ(label.Text(), ansi);

  narrow.SetWideCaption(u"\u041f caf\u00e9");
  EXPECT_NE(narrow.WideCaption(), u"\u041f caf\u00e9");
  wide.SetWideCaption(u"\u041f caf\u00e9");
  EXPECT_EQ(wide.WideCaption(), u"\u041f caf\u00e9");
  EXPECT_EQ(wide.Caption().substr(1), " caf\xe9");
}

TEST(FormModel, ListsReplaceItemsLikeTheListControls) {
  TForm form("TForm1", "Form1");
  TControl& list = form.AddControl(ControlKind::CheckListBox, "List", nullptr, {});
  list.SetItems({"a", "b", "c"});
  ASSERT_EQ(list.ItemCount(), 3u);
  EXPECT_EQ(list.ItemIndex(), -1);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(list.ItemChecked(i));
    EXPECT_TRUE(list.ItemEnabled(i));
  }
  list.SetItemIndex(2).SetItemChecked(1, true).SetItemEnabled(0, false);
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_TRUE(list.ItemChecked(1));
  EXPECT_FALSE(list.ItemEnabled(0));
  // Out of range: nothing selected, nothing stored, nothing thrown.
  list.SetItemIndex(3);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetItemIndex(-7);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetItemChecked(9, true);
  EXPECT_FALSE(list.ItemChecked(9));
  EXPECT_FALSE(list.ItemEnabled(9));
  EXPECT_EQ(list.Item(9), "");

  list.SetItemIndex(1);
  list.SetItems({"x", "y"});
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_FALSE(list.ItemChecked(1));
  EXPECT_TRUE(list.ItemEnabled(0));

  list.AddItem("z");
  EXPECT_EQ(list.ItemCount(), 3u);
  EXPECT_TRUE(list.ItemEnabled(2));
  EXPECT_FALSE(list.ItemChecked(2));
}

TEST(FormModel, ComboBoxShowsTheChosenItem) {
  TForm form("TForm1", "Form1");
  TControl& fixed = form.AddControl(ControlKind::ComboBox, "Fixed", nullptr, {});
  fixed.SetItems({"Austria", "Belgium"});
  fixed.SetItemIndex(1);
  EXPECT_EQ(fixed.Text(), "Belgium");
  fixed.SetItemIndex(-1);
  EXPECT_EQ(fixed.Text(), "");

  TControl& editable = form.AddControl(ControlKind::ComboBox, "Editable", nullptr, {});
  editable.SetEditable(true).SetItems({"dsn1", "dsn2"}).SetText("typed");
  EXPECT_EQ(editable.Text(), "typed");
  editable.SetItemIndex(0);
  EXPECT_EQ(editable.Text(), "dsn1");
  editable.SetText("other").SetItemIndex(-1);
  EXPECT_EQ(editable.Text(), "other");
  // Replacing the items keeps what was typed into an editable box.
  editable.SetItems({"a"});
  EXPECT_EQ(editable.Text(), "other");
}

TEST(FormModel, RadioButtonsExcludeEachOtherWithinTheirParentOnly) {
  TForm form("TForm1", "Form1");
  TControl& groupA = form.AddControl(ControlKind::GroupBox, "A", nullptr, {});
  TControl& groupB = form.AddControl(ControlKind::GroupBox, "B", nullptr, {});
  TControl& a1 = form.AddControl(ControlKind::RadioButton, "a1", &groupA, {});
  TControl& a2 = form.AddControl(ControlKind::RadioButton, "a2", &groupA, {});
  TControl& b1 = form.AddControl(ControlKind::RadioButton, "b1", &groupB, {});
  TControl& check = form.AddControl(ControlKind::CheckBox, "c", &groupA, {});
  a1.SetChecked(true);
  b1.SetChecked(true);
  check.SetChecked(true);
  a2.SetChecked(true);
  EXPECT_FALSE(a1.Checked());
  EXPECT_TRUE(a2.Checked());
  EXPECT_TRUE(b1.Checked());
  EXPECT_TRUE(check.Checked());
  a2.SetChecked(false);
  EXPECT_FALSE(a1.Checked());
  EXPECT_FALSE(a2.Checked());
}

TEST(FormModel, TreePositionsCountDepthFirst) {
  TForm form("TForm1", "Form1");
  TControl& tree = form.AddControl(ControlKind::TreeView, "Tree", nullptr, {});
  ui::TTreeNode& first = tree.AddNode("first", 10);
  ui::TTreeNode& group = tree.AddNode("group", 11);
  ui::TTreeNode& child1 = group.AddChild("child1", 12);
  ui::TTreeNode& grandchild = child1.AddChild("grandchild", 13);
  ui::TTreeNode& child2 = group.AddChild("child2", 14);
  ui::TTreeNode& last = tree.AddNode("last", 15);

  ASSERT_EQ(tree.NodeCount(), 6u);
  const std::vector<ui::TTreeNode*> expected = {&first,      &group,  &child1,
                                                &grandchild, &child2, &last};
  EXPECT_EQ(tree.AllNodes(), expected);
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(tree.NodeAt(i), expected[i]);
    EXPECT_EQ(tree.PositionOf(expected[i]), static_cast<int>(i));
  }
  EXPECT_EQ(tree.NodeAt(6), nullptr);
  EXPECT_EQ(child2.Parent(), &group);
  EXPECT_EQ(child2.IndexInParent(), 1u);
  EXPECT_EQ(last.IndexInParent(), 2u);
  EXPECT_EQ(grandchild.Text(), "grandchild");
  EXPECT_EQ(grandchild.Id(), 13);

  EXPECT_FALSE(group.Expanded());
  tree.FullExpand();
  for (ui::TTreeNode* node : tree.AllNodes())
    EXPECT_TRUE(node->Expanded());

  TForm other("TForm2", "Form2");
  TControl& otherTree = other.AddControl(ControlKind::TreeView, "Tree", nullptr, {});
  ui::TTreeNode& stranger = otherTree.AddNode("stranger", 1);
  tree.SelectNode(&child1);
  tree.SelectNode(&stranger);  // not of this tree: ignored
  EXPECT_EQ(tree.SelectedNode(), &child1);
  EXPECT_EQ(tree.PositionOf(&stranger), -1);
  tree.ClearNodes();
  EXPECT_EQ(tree.SelectedNode(), nullptr);
  EXPECT_EQ(tree.NodeCount(), 0u);
}

TEST(FormModel, TheObserverHearsOfEveryChange) {
  TForm form("TForm1", "Form1");
  TControl& edit = form.AddControl(ControlKind::Edit, "Edit", nullptr, {});
  TControl& tree = form.AddControl(ControlKind::TreeView, "Tree", nullptr, {});
  ui::TTreeNode& node = tree.AddNode("n", 1);
  Recorder recorder;
  form.SetObserver(&recorder);
  edit.SetText("x");
  edit.SetVisible(false);
  node.SetImageIndex(3);
  form.SetCaption("title");
  edit.SetFocus();
  form.SetObserver(nullptr);
  edit.SetText("unseen");

  ASSERT_EQ(recorder.entries.size(), 5u);
  EXPECT_EQ(recorder.entries[0].Control, &edit);
  EXPECT_EQ(recorder.entries[0].Change, ui::TChange::Text);
  EXPECT_EQ(recorder.entries[1].Change, ui::TChange::Visible);
  EXPECT_EQ(recorder.entries[2].Control, &tree);
  EXPECT_EQ(recorder.entries[2].Node, &node);
  EXPECT_EQ(recorder.entries[2].Change, ui::TChange::Node);
  EXPECT_EQ(recorder.entries[3].Control, nullptr);
  EXPECT_EQ(recorder.entries[3].Change, ui::TChange::Caption);
  EXPECT_EQ(recorder.entries[4].Change, ui::TChange::Focus);
  EXPECT_TRUE(edit.Focused());
}

TEST(FormModel, ControlsAreFoundByUniqueName) {
  TForm form("TForm1", "Form1");
  TControl& panel = form.AddControl(ControlKind::Panel, "Panel", nullptr, {1, 2, 3, 4});
  EXPECT_EQ(panel.Bounds(), (ui::TRect{1, 2, 3, 4}));
  EXPECT_THROW(form.AddControl(ControlKind::Label, "Panel", nullptr, {}), std::invalid_argument);
  TForm other("TForm2", "Form2");
  EXPECT_THROW(other.AddControl(ControlKind::Label, "Label", &panel, {}), std::invalid_argument);
  EXPECT_EQ(other.Controls().size(), 0u);
  EXPECT_EQ(form.FindControl("Panel"), &panel);
  EXPECT_EQ(form.FindControl("panel"), nullptr);
  EXPECT_THROW(form.Control("Missing"), std::out_of_range);
  // Unnamed controls may repeat.
  form.AddControl(ControlKind::Label, "", nullptr, {});
  form.AddControl(ControlKind::Label, "", nullptr, {});
  EXPECT_EQ(form.Controls().size(), 3u);
}

TEST(FormModel, DockedControlsShareTheirParentsArea) {
  TForm form("TForm1", "Form1");
  form.SetClientSize(400, 300);
  TControl& top = form.AddControl(ControlKind::Panel, "Top", nullptr, {5, 5, 10, 50});
  TControl& bottom = form.AddControl(ControlKind::Panel, "Bottom", nullptr, {0, 0, 10, 40});
  TControl& client = form.AddControl(ControlKind::Panel, "Client", nullptr, {});
  TControl& left = form.AddControl(ControlKind::Image, "Left", &client, {0, 0, 100, 1});
  TControl& inner = form.AddControl(ControlKind::Panel, "Inner", &client, {});
  TControl& fixed = form.AddControl(ControlKind::Label, "Fixed", &inner, {7, 8, 9, 10});
  top.SetAlign(ui::TAlign::Top);
  bottom.SetAlign(ui::TAlign::Bottom);
  client.SetAlign(ui::TAlign::Client);
  left.SetAlign(ui::TAlign::Left);
  inner.SetAlign(ui::TAlign::Client);

  ui::AlignControls(form);
  EXPECT_EQ(top.Bounds(), (ui::TRect{0, 0, 400, 50}));
  EXPECT_EQ(bottom.Bounds(), (ui::TRect{0, 260, 400, 40}));
  EXPECT_EQ(client.Bounds(), (ui::TRect{0, 50, 400, 210}));
  EXPECT_EQ(left.Bounds(), (ui::TRect{0, 0, 100, 210}));
  EXPECT_EQ(inner.Bounds(), (ui::TRect{100, 0, 300, 210}));
  EXPECT_EQ(fixed.Bounds(), (ui::TRect{7, 8, 9, 10}));

  // A hidden docked control gives its room to the others.
  top.SetVisible(false);
  ui::AlignControls(form);
  EXPECT_EQ(client.Bounds(), (ui::TRect{0, 0, 400, 260}));
  EXPECT_EQ(inner.Bounds(), (ui::TRect{100, 0, 300, 260}));
}

TEST(FormModel, FontsInheritNameAndSizeButKeepTheirOwnStyles) {
  TForm form("TForm1", "Form1");
  TControl& panel = form.AddControl(ControlKind::Panel, "Panel", nullptr, {});
  TControl& plain = form.AddControl(ControlKind::Label, "Plain", &panel, {});
  TControl& big = form.AddControl(ControlKind::Label, "Big", &panel, {});
  big.SetFont(ui::TFont().Sized(12).Bolded());
  EXPECT_EQ(plain.ShownFont().Name, "Tahoma");
  EXPECT_EQ(plain.ShownFont().Size, 8);
  form.SetFontName("Arial Unicode MS");
  form.SetFontSize(10);
  EXPECT_EQ(plain.ShownFont().Name, "Arial Unicode MS");
  EXPECT_EQ(plain.ShownFont().Size, 10);
  EXPECT_FALSE(plain.ShownFont().Bold);
  EXPECT_EQ(big.ShownFont().Name, "Arial Unicode MS");
  EXPECT_EQ(big.ShownFont().Size, 12);
  EXPECT_TRUE(big.ShownFont().Bold);
}

TEST(FormModel, ExceptionsGoToTheApplicationsHandler) {
  ui::TApplication application;
  auto escaping = std::make_exception_ptr(std::runtime_error("escaped"));
  EXPECT_THROW(application.HandleException(escaping), std::runtime_error);

  std::vector<std::string> seen;
  application.OnException = [&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& caught) {
      seen.push_back(caught.what());
    }
    throw std::logic_error("the handler itself fails");
  };
  EXPECT_NO_THROW(application.HandleException(escaping));
  EXPECT_EQ(seen, (std::vector<std::string>{"escaped"}));

  TForm& first = application.CreateForm<TForm>("TFirst", "First");
  application.CreateForm<TForm>("TSecond", "Second");
  EXPECT_EQ(application.FindForm("TFirst"), &first);
  EXPECT_EQ(application.FindForm("First"), nullptr);
  ASSERT_EQ(application.Forms().size(), 2u);
  EXPECT_EQ(application.Forms()[1]->ClassName(), "TSecond");
  application.DestroyForms();
  EXPECT_TRUE(application.Forms().empty());
}

TEST(Backend, IsInstalledByTheHeadlessBackendAndPumpsMessages) {
  EXPECT_THROW(ui::CurrentBackend(), std::logic_error);
  EXPECT_EQ(ui::InstalledBackend(), nullptr);
  {
    ui::THeadlessBackend backend;
    EXPECT_EQ(&ui::CurrentBackend(), &backend);
    EXPECT_EQ(ui::InstalledBackend(), &backend);
    // Long work keeps the windows alive through the platform's pump.
    platform::ProcessPendingMessages();
    ui::ProcessMessages();
    EXPECT_EQ(backend.ProcessMessagesCalls(), 2u);
    {
      ui::TWaitCursor wait;
      EXPECT_TRUE(backend.WaitCursorShown());
    }
    EXPECT_FALSE(backend.WaitCursorShown());
    EXPECT_EQ(backend.CursorChanges(), (std::vector<bool>{true, false}));
  }
  EXPECT_THROW(ui::CurrentBackend(), std::logic_error);
  platform::ProcessPendingMessages();  // no backend: nothing happens
}

TEST(MessageBoxes, FirstAndOfferedButtons) {
  using ui::TMessageButtons;
  using ui::TModalResult;
  EXPECT_EQ(ui::FirstButton(TMessageButtons::YesNo), TModalResult::Yes);
  EXPECT_EQ(ui::FirstButton(TMessageButtons::RetryCancel), TModalResult::Retry);
  EXPECT_EQ(ui::FirstButton(TMessageButtons::AbortRetryIgnore), TModalResult::Abort);
  EXPECT_TRUE(ui::OffersButton(TMessageButtons::YesNoCancel, TModalResult::Cancel));
  EXPECT_FALSE(ui::OffersButton(TMessageButtons::YesNo, TModalResult::Cancel));
  EXPECT_FALSE(ui::OffersButton(TMessageButtons::Ok, TModalResult::Cancel));
  EXPECT_STREQ(ui::ModalResultName(TModalResult::No), "No");
}
