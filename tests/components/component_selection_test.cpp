#include <gtest/gtest.h>

#include "components/component_selection.h"
#include "components/component_state.h"
#include "components/component_tree.h"
#include "components/package_table.h"
#include "ui/form.h"

namespace {

class ComponentTreeTest : public ::testing::Test {
 protected:
  ComponentTreeTest()
      : form("TTest", "Test"),
        tree(form.AddControl(ui::ControlKind::TreeView, "Tree", nullptr, {0, 0, 300, 200})) {
    FillComponentTree(tree);
    tree.FullExpand();
    UpdateAllGroupStates(tree);
  }
  int State(int id) const { return ComponentState(tree, id); }
  // A click on the component's node at x, as the user makes it: the node
  // under the pointer is selected first.
  void ClickAt(int id, int x) {
    ui::TTreeNode* node = ComponentNode(tree, id);
    tree.SelectNode(node);
    ComponentsListClick(tree, {node, x, 5});
  }
  void Click(int id) { ClickAt(id, 40); }

  ui::TForm form;
  ui::TControl& tree;
};

constexpr int kModules[] = {kComponentWebmail,   kComponentAntiSpam,         kComponentAntiVirus,
                            kComponentGroupWare, kComponentInstantMessaging, kComponentLdap};

TEST_F(ComponentTreeTest, GroupsShowTheirChildren) {
  EXPECT_EQ(State(kGroupAddOns), kStatePartlyChecked);  // demo accounts start unchecked
  EXPECT_EQ(State(kGroupModules), kStateChecked);
  EXPECT_EQ(State(kGroupAdministration), kStateChecked);
  EXPECT_TRUE(ComponentSelected(tree, kComponentEngine));
  EXPECT_FALSE(ComponentSelected(tree, kComponentDemoAccounts));

  Click(kGroupModules);
  EXPECT_EQ(State(kGroupModules), kStateUnchecked);
  for (int id : kModules)
    EXPECT_EQ(State(id), kStateUnchecked) << id;
  Click(kGroupModules);
  for (int id : kModules)
    EXPECT_EQ(State(id), kStateChecked) << id;

  Click(kComponentWebmail);
  EXPECT_EQ(State(kComponentWebmail), kStateUnchecked);
  EXPECT_EQ(State(kGroupModules), kStatePartlyChecked);
  for (int id : kModules)
    if (id != kComponentWebmail) Click(id);
  EXPECT_EQ(State(kGroupModules), kStateUnchecked);

  // A partly checked group becomes unchecked with all its children.
  ASSERT_EQ(State(kGroupAddOns), kStatePartlyChecked);
  Click(kGroupAddOns);
  EXPECT_EQ(State(kGroupAddOns), kStateUnchecked);
  EXPECT_EQ(State(kComponentASpell), kStateUnchecked);
  EXPECT_EQ(State(kComponentWizards), kStateUnchecked);
  Click(kGroupAddOns);
  EXPECT_EQ(State(kComponentDemoAccounts), kStateChecked);

  // Everything may be unchecked.
  for (int group : {kGroupAdministration, kGroupAddOns})
    Click(group);
  Click(kComponentEngine);
  for (ui::TTreeNode* node : tree.AllNodes())
    EXPECT_EQ(node->ImageIndex(), kStateUnchecked);
  EXPECT_EQ(ComponentNode(tree, 99), nullptr);
  EXPECT_EQ(State(99), kStateUnchecked);
}

TEST_F(ComponentTreeTest, ClicksNearTheEdgeOrOnAnotherNodeChangeNothing) {
  ClickAt(kComponentWebmail, 10);
  EXPECT_EQ(State(kComponentWebmail), kStateChecked);
  ClickAt(kComponentWebmail, 19);
  EXPECT_EQ(State(kComponentWebmail), kStateChecked);
  ClickAt(kComponentWebmail, 20);
  EXPECT_EQ(State(kComponentWebmail), kStateUnchecked);

  // The pointer over another node than the selected one.
  tree.SelectNode(ComponentNode(tree, kComponentLdap));
  ComponentsListClick(tree, {ComponentNode(tree, kComponentWebmail), 60, 5});
  ComponentsListClick(tree, {nullptr, 60, 5});
  EXPECT_EQ(State(kComponentLdap), kStateChecked);
  EXPECT_EQ(State(kComponentWebmail), kStateUnchecked);

  // The space key toggles the selected node and is consumed; others pass.
  char16_t key = ui::kKeySpace;
  ComponentsListKeyPress(tree, key);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(State(kComponentLdap), kStateUnchecked);
  key = u'a';
  ComponentsListKeyPress(tree, key);
  EXPECT_EQ(key, u'a');
  EXPECT_EQ(State(kComponentLdap), kStateUnchecked);
}

TEST(PackageTable, PackagesByComponent) {
  const TPackageList engine = PackagesOf(kComponentEngine);
  ASSERT_EQ(engine.size(), 2u);
  EXPECT_EQ(engine[0].FileName, "setup.dat");
  EXPECT_EQ(engine[1].FileName, "setupphp.dat");
  EXPECT_TRUE(engine[0].Folder.empty() && engine[1].Folder.empty());
  const TPackageList antivirus = PackagesOf(kComponentAntiVirus);
  ASSERT_EQ(antivirus.size(), 1u);
  EXPECT_EQ(antivirus[0].FileName, "setupavast.dat");
  EXPECT_EQ(antivirus[0].Folder, "avast\\");
  EXPECT_TRUE(PackagesOf(kComponentGroupWare).empty());
  EXPECT_TRUE(PackagesOf(kComponentDesktopIcon).empty());
  EXPECT_EQ(PackagesOf(kComponentASpell)[0].Folder, "aspell\\");
  EXPECT_TRUE(PackagesOf(12).empty());
  EXPECT_TRUE(PackagesOf(-1).empty());
}

}  // namespace
