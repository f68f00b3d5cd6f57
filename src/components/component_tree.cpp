#include "components/component_tree.h"

#include <map>

namespace {

constexpr std::array<TComponentNodeDefinition, kComponentCount> kTree = {{
    {kComponentEngine, "Services and core files", -1, kStateChecked},
    {kGroupAdministration, "Administration", -1, kStateChecked},
    {kComponentAdminInterface, "Administration interface", kGroupAdministration, kStateChecked},
    {kComponentDesktopIcon, "Desktop icon", kGroupAdministration, kStateChecked},
    {kComponentQuickLaunch, "Quick launch icon", kGroupAdministration, kStateChecked},
    {kGroupModules, "Modules", -1, kStateChecked},
    {kComponentWebmail, "Webmail", kGroupModules, kStateChecked},
    {kComponentAntiSpam, "Anti-Spam", kGroupModules, kStateChecked},
    {kComponentAntiVirus, "Anti-Virus", kGroupModules, kStateChecked},
    {kComponentGroupWare, "GroupWare", kGroupModules, kStateChecked},
    {kComponentInstantMessaging, "Instant Messaging / VoIP", kGroupModules, kStateChecked},
    {kComponentLdap, "LDAP", kGroupModules, kStateChecked},
    {kGroupAddOns, "Add-ons", -1, kStateChecked},
    {kComponentASpell, "ASpell", kGroupAddOns, kStateChecked},
    {kComponentWizards, "Wizards", kGroupAddOns, kStateChecked},
    {kComponentDemoAccounts, "Demo accounts", kGroupAddOns, kStateUnchecked},
}};

}  // namespace

const std::array<TComponentNodeDefinition, kComponentCount>& ComponentTreeDefinition() {
  return kTree;
}

void FillComponentTree(ui::TControl& tree) {
  tree.ClearNodes();
  std::map<int, ui::TTreeNode*> groups;
  for (const TComponentNodeDefinition& definition : kTree) {
    ui::TTreeNode& node =
        definition.ParentId < 0
            ? tree.AddNode(definition.Caption, definition.Id)
            : groups.at(definition.ParentId)->AddChild(definition.Caption, definition.Id);
    node.SetImageIndex(definition.State).SetSelectedIndex(definition.State);
    groups[definition.Id] = &node;
  }
}
