// There is no registry on POSIX systems: every call fails and says so.
#include "platform/registry.h"

#include "platform/native.h"

namespace platform {
namespace {

RegistryError NoRegistry() {
  return {kRegistryNotImplemented, "There is no system registry on this platform"};
}

class NoSystemRegistry final : public Registry {
 protected:
  RegistryResult<RegistryKeyPtr> DoOpenKey(RegistryRoot, const std::string&,
                                           RegistryAccess) override {
    return NoRegistry();
  }
  RegistryResult<RegistryKeyPtr> DoCreateKey(RegistryRoot, const std::string&,
                                             RegistryAccess) override {
    return NoRegistry();
  }
  RegistryResult<bool> DoKeyExists(RegistryRoot, const std::string&) override {
    return NoRegistry();
  }
  RegistryStatus DoDeleteKeyTree(RegistryRoot, const std::string&) override { return NoRegistry(); }
};

}  // namespace

Registry& NativeRegistry() {
  static NoSystemRegistry registry;
  return registry;
}

}  // namespace platform
