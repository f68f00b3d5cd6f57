#include "app/component_exclusions.h"

#include <array>
#include <utility>

namespace {

using TFlag = bool TInstallerState::*;

constexpr std::array<std::pair<const char*, TFlag>, 5> kFlags = {{
    {"NoInstallIM", &TInstallerState::NoInstallIM},
    {"NoInstallCalendar", &TInstallerState::NoInstallCalendar},
    {"NoInstallAV", &TInstallerState::NoInstallAV},
    {"NoInstallIAS", &TInstallerState::NoInstallIAS},
    {"NoInstallMail", &TInstallerState::NoInstallMail},
}};

}  // namespace

void ReadComponentExclusions(TInstallerState& state, TAdvancedRegistry& productKey) {
  for (const auto& [name, flag] : kFlags) {
    try {
      state.*flag = productKey.ReadBoolValue(name);
    } catch (...) {
      state.*flag = false;
    }
  }
}

void WriteComponentExclusions(const TInstallerState& state, TAdvancedRegistry& productKey) {
  for (const auto& [name, flag] : kFlags) {
    try {
      productKey.WriteBoolValue(name, state.*flag);
    } catch (...) {
      // The flags only preset the next run's components page.
    }
  }
}
