// Automation for tests: objects of the registered ProgIDs, every call kept
// with its arguments and their kinds, and results or server exceptions
// scripted per member. It takes the place of the system's COM while it
// lives.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation.h"

namespace platform {

class FakeAutomation final : public Automation {
 public:
  // What a member answers: its result, or an error with a message (as a
  // server's exception). It may change by-reference arguments.
  using Handler = std::function<AutomationCall(std::vector<AutomationValue>& arguments)>;

  static constexpr int32_t kInvalidClassString = static_cast<int32_t>(0x800401F3);
  static constexpr int32_t kException = static_cast<int32_t>(0x80020009);  // DISP_E_EXCEPTION

  FakeAutomation();
  ~FakeAutomation() override;
  FakeAutomation(const FakeAutomation&) = delete;
  FakeAutomation& operator=(const FakeAutomation&) = delete;

  // Objects of this ProgID can be created; others fail as an unknown ProgID.
  void Register(const std::string& progId);
  // The member of every object of the ProgID answers through the handler.
  void On(const std::string& progId, const std::string& member, Handler handler);
  // Shortcuts: a fixed result; a server exception with this message.
  void Returns(const std::string& progId, const std::string& member, AutomationValue result);
  void Throws(const std::string& progId, const std::string& member, const std::string& message);

  // One line per call: "Initialize", "Create P" (or "Create P failed"),
  // "P#n.Member(BSTR \"text\", I4 2, BOOL true)" for a method, "P#n.Member=(...)"
  // for a property put, "P#n.Member?" for a get, "Release P#n"; n counts the
  // objects of each ProgID from 1.
  std::vector<std::string> Journal;
  // The journal's calls of members only, without creations and releases.
  std::vector<std::string> MemberCalls() const;
  size_t LiveObjects() const { return objects_.size(); }

  int32_t Initialize() override;
  AutomationCreation Create(const std::string& progId) override;
  AutomationCall Invoke(AutomationObject object, const std::string& member, InvokeKind kind,
                        std::vector<AutomationValue>& arguments) override;
  void Release(AutomationObject object) override;

 private:
  struct Object {
    std::string ProgId;
    int Number = 0;
  };
  std::set<std::string> registered_;
  std::map<std::pair<std::string, std::string>, Handler> handlers_;
  std::map<AutomationObject, Object> objects_;
  std::map<std::string, int> created_;
  AutomationObject next_ = 0x1000;
  Automation* previous_;
};

// "BSTR \"text\"", "I4 2", "BOOL true": a value as the journal shows it.
std::string DescribeAutomationValue(const AutomationValue& value);

}  // namespace platform
