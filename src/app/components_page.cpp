#include "app/components_page.h"

#include <array>
#include <utility>

#include "components/component_selection.h"
#include "components/component_state.h"
#include "components/component_tree.h"

namespace {

using TFlag = bool TInstallerState::*;

constexpr std::array<std::pair<TFlag, int>, 5> kExclusions = {{
    {&TInstallerState::NoInstallMail, kComponentWebmail},
    {&TInstallerState::NoInstallIAS, kComponentAntiSpam},
    {&TInstallerState::NoInstallAV, kComponentAntiVirus},
    {&TInstallerState::NoInstallCalendar, kComponentGroupWare},
    {&TInstallerState::NoInstallIM, kComponentInstantMessaging},
}};

}  // namespace

void ShowComponentsPage(TMainForm& form) {
  ui::TControl& tree = *form.ComponentsList;
  for (const auto& [flag, id] : kExclusions)
    if (form.State.*flag) SetComponentState(tree, id, kStateUnchecked);
  tree.FullExpand();
  tree.SelectNode(tree.NodeAt(0));
  UpdateAllGroupStates(tree);
}

void LeaveComponentsPage(TMainForm& form) {
  for (const auto& [flag, id] : kExclusions)
    form.State.*flag = ComponentState(*form.ComponentsList, id) == kStateUnchecked;
}
