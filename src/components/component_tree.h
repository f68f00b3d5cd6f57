// The design-time content of the components tree: sixteen nodes, each with
// the component id it stands for, its caption, its group and its initial
// check state. Positions are depth first, as the caption keys of the
// language file count them.
#pragma once

#include <array>
#include <cstddef>

#include "ui/control.h"

// Component ids; 12, 13 and 14 are the groups.
constexpr int kComponentEngine = 0;
constexpr int kComponentAdminInterface = 1;
constexpr int kComponentDesktopIcon = 2;
constexpr int kComponentQuickLaunch = 3;
constexpr int kComponentWebmail = 4;
constexpr int kComponentAntiSpam = 5;
constexpr int kComponentAntiVirus = 6;
constexpr int kComponentGroupWare = 7;
constexpr int kComponentInstantMessaging = 8;
constexpr int kComponentLdap = 9;
constexpr int kComponentWizards = 10;
constexpr int kComponentASpell = 11;
constexpr int kGroupAdministration = 12;
constexpr int kGroupModules = 13;
constexpr int kGroupAddOns = 14;
constexpr int kComponentDemoAccounts = 15;
constexpr size_t kComponentCount = 16;

// A node's state is also the index of the check picture drawn for it.
constexpr int kStateChecked = 0;
constexpr int kStateUnchecked = 1;
constexpr int kStatePartlyChecked = 3;

struct TComponentNodeDefinition {
  int Id;
  const char* Caption;
  int ParentId;  // -1 for a top-level node
  int State;
};

// In tree positions 0..15.
const std::array<TComponentNodeDefinition, kComponentCount>& ComponentTreeDefinition();

// Replaces the tree's nodes with the design-time ones, collapsed and with no
// node selected; each node's state is its normal and selected picture.
void FillComponentTree(ui::TControl& tree);
