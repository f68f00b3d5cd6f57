// The check states of the components tree, which is itself the store of the
// user's selection: every other part of the installer asks it by component
// id, never by position.
#pragma once

#include "ui/control.h"

// The node of that component id, searched in tree order; nullptr when none.
ui::TTreeNode* ComponentNode(const ui::TControl& tree, int id);
// The node's state (kStateChecked, kStateUnchecked, kStatePartlyChecked);
// a component missing from the tree reads as unchecked.
int ComponentState(const ui::TControl& tree, int id);
// Component N is selected exactly when its state is kStateChecked.
bool ComponentSelected(const ui::TControl& tree, int id);
// Sets the state of node, or of the component's node when node is nullptr,
// as its normal and selected picture.
void SetComponentState(ui::TControl& tree, int id, int state, ui::TTreeNode* node = nullptr);
