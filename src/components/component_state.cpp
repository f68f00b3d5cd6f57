#include "components/component_state.h"

#include "components/component_tree.h"

ui::TTreeNode* ComponentNode(const ui::TControl& tree, int id) {
  for (ui::TTreeNode* node : tree.AllNodes())
    if (node->Id() == id) return node;
  return nullptr;
}

int ComponentState(const ui::TControl& tree, int id) {
  const ui::TTreeNode* node = ComponentNode(tree, id);
  return node ? node->ImageIndex() : kStateUnchecked;
}

bool ComponentSelected(const ui::TControl& tree, int id) {
  return ComponentState(tree, id) == kStateChecked;
}

void SetComponentState(ui::TControl& tree, int id, int state, ui::TTreeNode* node) {
  if (!node) node = ComponentNode(tree, id);
  if (!node) return;
  node->SetImageIndex(state).SetSelectedIndex(state);
}
