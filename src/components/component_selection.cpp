#include "components/component_selection.h"

#include "components/component_state.h"
#include "components/component_tree.h"

namespace {

bool IsGroup(int id) {
  return id == kGroupAdministration || id == kGroupModules || id == kGroupAddOns;
}

}  // namespace

void UpdateGroupState(ui::TControl& tree, ui::TTreeNode* parent) {
  if (!parent) return;
  size_t checked = 0;
  size_t unchecked = 0;
  for (const auto& child : parent->Children()) {
    if (child->ImageIndex() == kStateChecked) ++checked;
    if (child->ImageIndex() == kStateUnchecked) ++unchecked;
  }
  const size_t count = parent->Children().size();
  const int state = checked == count     ? kStateChecked
                    : unchecked == count ? kStateUnchecked
                                         : kStatePartlyChecked;
  SetComponentState(tree, parent->Id(), state, parent);
}

void UpdateAllGroupStates(ui::TControl& tree) {
  for (ui::TTreeNode* node : tree.AllNodes())
    UpdateGroupState(tree, node->Parent());
}

void ToggleComponent(ui::TControl& tree) {
  ui::TTreeNode* node = tree.SelectedNode();
  if (!node) return;
  const int state = node->ImageIndex() == kStateUnchecked ? kStateChecked : kStateUnchecked;
  SetComponentState(tree, node->Id(), state, node);
  UpdateGroupState(tree, node->Parent());
  if (!IsGroup(node->Id())) return;
  for (const auto& child : node->Children())
    SetComponentState(tree, child->Id(), state);
}

void ComponentsListClick(ui::TControl& tree, const ui::TNodeClick& click) {
  if (!click.Node || click.Node != tree.SelectedNode() || click.X < kToggleMinimumX) return;
  ToggleComponent(tree);
}

void ComponentsListKeyPress(ui::TControl& tree, char16_t& key) {
  if (key != ui::kKeySpace) return;
  key = 0;
  ToggleComponent(tree);
}

void BindComponentsList(ui::TControl& tree) {
  tree.OnNodeClick = [](ui::TControl& sender, const ui::TNodeClick& click) {
    ComponentsListClick(sender, click);
  };
  tree.OnKeyPress = [](ui::TControl& sender, char16_t& key) {
    ComponentsListKeyPress(sender, key);
  };
}
