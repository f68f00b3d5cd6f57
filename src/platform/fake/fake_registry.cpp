#include "platform/fake/fake_registry.h"

#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "platform/codepage.h"

namespace platform {
namespace {

std::string TextOf(uint32_t code) {
  switch (code) {
    case kRegistryNotFound:
      return "The system cannot find the file specified";
    case kRegistryAccessDenied:
      return "Access is denied";
    case kRegistryInvalidHandle:
      return "The handle is invalid";
    case kRegistryInvalidData:
      return "The data is invalid";
    case kRegistryInvalidParameter:
      return "The parameter is incorrect";
    case kRegistryKeyDeleted:
      return "Illegal operation attempted on a registry key that has been marked for deletion";
    case kRegistryUnsupportedType:
      return "Data of this type is not supported";
  }
  return "System error " + std::to_string(code);
}

RegistryError ErrorOf(uint32_t code) {
  return {code, TextOf(code)};
}

// Names as the registry compares them.
std::string Folded(const std::string& name) {
  return AnsiUpperCase(name);
}

std::vector<std::string> PartsOf(const std::string& normalPath) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < normalPath.size()) {
    size_t end = normalPath.find('\\', start);
    if (end == std::string::npos) end = normalPath.size();
    parts.push_back(normalPath.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

struct Node {
  struct NamedValue {
    std::string Name;
    RegistryValue Value;
  };
  std::string Name;
  std::map<std::string, std::shared_ptr<Node>> Subkeys;  // by folded name
  std::map<std::string, NamedValue> Values;              // by folded name
  bool Deleted = false;
};

}  // namespace

struct FakeRegistry::State {
  std::map<RegistryRoot, std::shared_ptr<Node>> Roots;
  std::set<RegistryRoot> Unavailable{RegistryRoot::PerformanceData};
  std::set<std::pair<RegistryRoot, std::string>> WritesDenied;  // folded paths
  std::map<std::tuple<Operation, RegistryRoot, std::string>, uint32_t> Failures;
  int OpenKeys = 0;

  std::shared_ptr<Node>& Root(RegistryRoot root) {
    auto& node = Roots[root];
    if (!node) node = std::make_shared<Node>();
    return node;
  }

  std::shared_ptr<Node> Find(RegistryRoot root, const std::string& normalPath) {
    std::shared_ptr<Node> node = Root(root);
    for (const std::string& part : PartsOf(normalPath)) {
      auto child = node->Subkeys.find(Folded(part));
      if (child == node->Subkeys.end()) return nullptr;
      node = child->second;
    }
    return node;
  }

  std::shared_ptr<Node> Make(RegistryRoot root, const std::string& normalPath) {
    std::shared_ptr<Node> node = Root(root);
    for (const std::string& part : PartsOf(normalPath)) {
      auto& child = node->Subkeys[Folded(part)];
      if (!child) {
        child = std::make_shared<Node>();
        child->Name = part;
      }
      node = child;
    }
    return node;
  }

  uint32_t Failure(Operation operation, RegistryRoot root, const std::string& normalPath) const {
    auto found = Failures.find({operation, root, Folded(normalPath)});
    return found == Failures.end() ? 0 : found->second;
  }

  bool Denied(RegistryRoot root, const std::string& normalPath) const {
    return WritesDenied.count({root, Folded(normalPath)}) != 0;
  }
};

namespace {

using State = FakeRegistry::State;
using Operation = FakeRegistry::Operation;

class FakeKey final : public RegistryKey {
 public:
  FakeKey(std::shared_ptr<State> state, std::shared_ptr<Node> node, RegistryRoot root,
          std::string path, RegistryAccess access)
      : state_(std::move(state)),
        node_(std::move(node)),
        root_(root),
        path_(std::move(path)),
        access_(access) {
    ++state_->OpenKeys;
  }
  ~FakeKey() override { --state_->OpenKeys; }

  RegistryResult<RegistryValue> ReadValue(const std::string& name) override {
    if (uint32_t code = Check(Operation::ReadValue, false)) return ErrorOf(code);
    auto found = node_->Values.find(Folded(name));
    if (found == node_->Values.end()) return ErrorOf(kRegistryNotFound);
    return found->second.Value;
  }

  RegistryStatus WriteValue(const std::string& name, const RegistryValue& value) override {
    if (uint32_t code = Check(Operation::WriteValue, true)) return ErrorOf(code);
    auto& stored = node_->Values[Folded(name)];
    if (stored.Name.empty()) stored.Name = name;  // an existing name keeps its case
    stored.Value = value;
    return {};
  }

  RegistryResult<RegistryValueType> ValueType(const std::string& name) override {
    if (uint32_t code = Check(Operation::ReadValue, false)) return ErrorOf(code);
    auto found = node_->Values.find(Folded(name));
    if (found == node_->Values.end()) return ErrorOf(kRegistryNotFound);
    return found->second.Value.Type;
  }

  RegistryStatus DeleteValue(const std::string& name) override {
    if (uint32_t code = Check(Operation::DeleteValue, true)) return ErrorOf(code);
    if (node_->Values.erase(Folded(name)) == 0) return ErrorOf(kRegistryNotFound);
    return {};
  }

  RegistryResult<std::vector<std::string>> ValueNames() override {
    if (uint32_t code = Check(Operation::Enumerate, false)) return ErrorOf(code);
    std::vector<std::string> names;
    for (const auto& [folded, value] : node_->Values)
      names.push_back(value.Name);
    return names;
  }

  RegistryResult<std::vector<std::string>> SubkeyNames() override {
    if (uint32_t code = Check(Operation::Enumerate, false)) return ErrorOf(code);
    std::vector<std::string> names;
    for (const auto& [folded, child] : node_->Subkeys)
      names.push_back(child->Name);
    return names;
  }

 private:
  // The error code an operation meets before it does anything, or 0.
  uint32_t Check(Operation operation, bool writes) const {
    if (node_->Deleted) return kRegistryKeyDeleted;
    if (writes && access_ == RegistryAccess::Read) return kRegistryAccessDenied;
    return state_->Failure(operation, root_, path_);
  }

  std::shared_ptr<State> state_;
  std::shared_ptr<Node> node_;
  RegistryRoot root_;
  std::string path_;
  RegistryAccess access_;
};

// Depth first, as the system deletes a tree: a failure part-way leaves the
// subkeys deleted so far deleted.
uint32_t DeleteTree(State& state, RegistryRoot root, Node& parent, const std::string& folded,
                    const std::string& path) {
  if (state.Denied(root, path)) return kRegistryAccessDenied;
  if (uint32_t code = state.Failure(Operation::DeleteKey, root, path)) return code;
  std::shared_ptr<Node> node = parent.Subkeys[folded];
  while (!node->Subkeys.empty()) {
    auto child = node->Subkeys.begin();
    std::string childFolded = child->first;
    if (uint32_t code =
            DeleteTree(state, root, *node, childFolded, path + "\\" + child->second->Name))
      return code;
  }
  node->Deleted = true;
  parent.Subkeys.erase(folded);
  return 0;
}

}  // namespace

FakeRegistry::FakeRegistry()
    : state_(std::make_shared<State>()), previous_(InstallRegistry(this)) {}

FakeRegistry::~FakeRegistry() {
  InstallRegistry(previous_);
}

void FakeRegistry::SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                            const RegistryValue& value) {
  auto node = state_->Make(root, NormalRegistryPath(path));
  auto& stored = node->Values[Folded(name)];
  if (stored.Name.empty()) stored.Name = name;
  stored.Value = value;
}

void FakeRegistry::SetString(RegistryRoot root, const std::string& path, const std::string& name,
                             const std::string& text) {
  RegistryBytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  SetValue(root, path, name, {RegistryValueType::String, bytes});
}

std::optional<RegistryValue> FakeRegistry::Value(RegistryRoot root, const std::string& path,
                                                 const std::string& name) const {
  auto node = state_->Find(root, NormalRegistryPath(path));
  if (!node) return std::nullopt;
  auto found = node->Values.find(Folded(name));
  if (found == node->Values.end()) return std::nullopt;
  return found->second.Value;
}

bool FakeRegistry::HasKey(RegistryRoot root, const std::string& path) const {
  return state_->Find(root, NormalRegistryPath(path)) != nullptr;
}

void FakeRegistry::DenyWrites(RegistryRoot root, const std::string& path) {
  state_->WritesDenied.insert({root, Folded(NormalRegistryPath(path))});
}

void FakeRegistry::InjectFailure(Operation operation, RegistryRoot root, const std::string& path,
                                 uint32_t code) {
  state_->Failures[{operation, root, Folded(NormalRegistryPath(path))}] = code;
}

void FakeRegistry::ClearFailures() {
  state_->Failures.clear();
}

void FakeRegistry::SetRootAvailable(RegistryRoot root, bool available) {
  if (available)
    state_->Unavailable.erase(root);
  else
    state_->Unavailable.insert(root);
}

int FakeRegistry::OpenKeyCount() const {
  return state_->OpenKeys;
}

RegistryResult<RegistryKeyPtr> FakeRegistry::DoOpenKey(RegistryRoot root, const std::string& path,
                                                       RegistryAccess access) {
  if (state_->Unavailable.count(root)) return ErrorOf(kRegistryInvalidHandle);
  if (uint32_t code = state_->Failure(Operation::Open, root, path)) return ErrorOf(code);
  auto node = state_->Find(root, path);
  if (!node) return ErrorOf(kRegistryNotFound);
  if (access != RegistryAccess::Read && state_->Denied(root, path))
    return ErrorOf(kRegistryAccessDenied);
  return RegistryKeyPtr(new FakeKey(state_, node, root, path, access));
}

RegistryResult<RegistryKeyPtr> FakeRegistry::DoCreateKey(RegistryRoot root, const std::string& path,
                                                         RegistryAccess access) {
  if (state_->Unavailable.count(root)) return ErrorOf(kRegistryInvalidHandle);
  if (uint32_t code = state_->Failure(Operation::Create, root, path)) return ErrorOf(code);
  // Each missing level needs the right to create subkeys of its parent; the
  // levels made before a refusal stay, as they do in the system.
  std::shared_ptr<Node> node = state_->Root(root);
  std::string walked;
  for (const std::string& part : PartsOf(path)) {
    auto& child = node->Subkeys[Folded(part)];
    if (!child) {
      if (state_->Denied(root, walked)) {
        node->Subkeys.erase(Folded(part));
        return ErrorOf(kRegistryAccessDenied);
      }
      child = std::make_shared<Node>();
      child->Name = part;
    }
    node = child;
    walked += (walked.empty() ? "" : "\\") + part;
  }
  if (access != RegistryAccess::Read && state_->Denied(root, path))
    return ErrorOf(kRegistryAccessDenied);
  return RegistryKeyPtr(new FakeKey(state_, node, root, path, access));
}

RegistryResult<bool> FakeRegistry::DoKeyExists(RegistryRoot root, const std::string& path) {
  if (state_->Unavailable.count(root)) return ErrorOf(kRegistryInvalidHandle);
  switch (uint32_t code = state_->Failure(Operation::Open, root, path)) {
    case 0:
      break;
    case kRegistryNotFound:
      return false;
    case kRegistryAccessDenied:
      return true;
    default:
      return ErrorOf(code);
  }
  return state_->Find(root, path) != nullptr;
}

RegistryStatus FakeRegistry::DoDeleteKeyTree(RegistryRoot root, const std::string& path) {
  if (state_->Unavailable.count(root)) return ErrorOf(kRegistryInvalidHandle);
  auto parts = PartsOf(path);
  size_t split = path.rfind('\\');
  std::string parentPath = split == std::string::npos ? "" : path.substr(0, split);
  auto parent = state_->Find(root, parentPath);
  if (!parent || !parent->Subkeys.count(Folded(parts.back()))) return ErrorOf(kRegistryNotFound);
  if (uint32_t code = DeleteTree(*state_, root, *parent, Folded(parts.back()), path))
    return ErrorOf(code);
  return {};
}

}  // namespace platform
