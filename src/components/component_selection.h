// What the user does with the components tree: toggling a node by mouse or
// space key, and the group nodes that show the combined state of their
// children.
#pragma once

#include "ui/control.h"
#include "ui/events.h"

// A click toggles the selected node only when the pointer is over it and at
// least this far from the tree's left edge (left of it lie the expand
// buttons and the check picture's margin).
inline constexpr int kToggleMinimumX = 20;

// Toggles the selected node: checked or partly checked become unchecked,
// unchecked becomes checked; its group follows, and a group passes its new
// state to each of its children.
void ToggleComponent(ui::TControl& tree);
// The parent's state from its children: all checked, all unchecked, or
// partly checked.
void UpdateGroupState(ui::TControl& tree, ui::TTreeNode* parent);
// Every group's state from its children, in tree order.
void UpdateAllGroupStates(ui::TControl& tree);

void ComponentsListClick(ui::TControl& tree, const ui::TNodeClick& click);
void ComponentsListKeyPress(ui::TControl& tree, char16_t& key);
// Binds the two handlers to the tree.
void BindComponentsList(ui::TControl& tree);
