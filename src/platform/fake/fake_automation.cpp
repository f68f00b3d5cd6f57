#include "platform/fake/fake_automation.h"

namespace platform {

FakeAutomation::FakeAutomation() : previous_(InstallAutomation(this)) {}

FakeAutomation::~FakeAutomation() {
  InstallAutomation(previous_);
}

void FakeAutomation::Register(const std::string& progId) {
  registered_.insert(progId);
}

void FakeAutomation::On(const std::string& progId, const std::string& member, Handler handler) {
  handlers_[{progId, member}] = std::move(handler);
}

void FakeAutomation::Returns(const std::string& progId, const std::string& member,
                             AutomationValue result) {
  On(progId, member, [result](std::vector<AutomationValue>&) {
    AutomationCall call;
    call.Result = result;
    return call;
  });
}

void FakeAutomation::Throws(const std::string& progId, const std::string& member,
                            const std::string& message) {
  On(progId, member, [message](std::vector<AutomationValue>&) {
    return AutomationCall{kException, message, {}};
  });
}

std::vector<std::string> FakeAutomation::MemberCalls() const {
  std::vector<std::string> calls;
  for (const std::string& line : Journal)
    if (line.find('#') != std::string::npos && line.rfind("Release ", 0) != 0)
      calls.push_back(line);
  return calls;
}

int32_t FakeAutomation::Initialize() {
  Journal.push_back("Initialize");
  return 0;
}

AutomationCreation FakeAutomation::Create(const std::string& progId) {
  if (!registered_.count(progId)) {
    Journal.push_back("Create " + progId + " failed");
    return {0, kInvalidClassString, "Invalid class string"};
  }
  Journal.push_back("Create " + progId);
  const AutomationObject handle = next_++;
  objects_[handle] = {progId, ++created_[progId]};
  return {handle, 0, {}};
}

AutomationCall FakeAutomation::Invoke(AutomationObject object, const std::string& member,
                                      InvokeKind kind, std::vector<AutomationValue>& arguments) {
  auto found = objects_.find(object);
  if (found == objects_.end()) return {static_cast<int32_t>(0x80004003), "Invalid pointer", {}};
  std::string line =
      found->second.ProgId + "#" + std::to_string(found->second.Number) + "." + member;
  if (kind == InvokeKind::PropertyGet) {
    line += "?";
  } else {
    line += kind == InvokeKind::PropertyPut ? "=(" : "(";
    for (size_t i = 0; i < arguments.size(); ++i)
      line += (i ? ", " : "") + DescribeAutomationValue(arguments[i]);
    line += ")";
  }
  Journal.push_back(line);
  auto handler = handlers_.find({found->second.ProgId, member});
  if (handler == handlers_.end()) return {};
  return handler->second(arguments);
}

void FakeAutomation::Release(AutomationObject object) {
  auto found = objects_.find(object);
  if (found == objects_.end()) {
    Journal.push_back("Release of an unknown object");
    return;
  }
  Journal.push_back("Release " + found->second.ProgId + "#" + std::to_string(found->second.Number));
  objects_.erase(found);
}

std::string DescribeAutomationValue(const AutomationValue& value) {
  std::string kind = AutomationKindName(value.Kind);
  switch (value.Kind) {
    case AutomationKind::Empty:
      return kind;
    case AutomationKind::String:
    case AutomationKind::WideString:
    case AutomationKind::StringRef:
      return kind + " \"" + value.AnsiText() + "\"";
    case AutomationKind::Integer:
      return kind + " " + std::to_string(value.Integer);
    case AutomationKind::Boolean:
      return kind + (value.Boolean ? " true" : " false");
  }
  return kind;
}

}  // namespace platform
