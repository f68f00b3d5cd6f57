#include "system/ole_object.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "support/text.h"

namespace {

constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80020005);  // DISP_E_TYPEMISMATCH

[[noreturn]] void CannotConvert(const platform::AutomationValue& value, const char* type) {
  throw EOleError(kTypeMismatch, "Could not convert variant of type (" +
                                     std::string(platform::AutomationKindName(value.Kind)) +
                                     ") into type (" + type + ")");
}

}  // namespace

void InitializeComThread() {
  platform::CurrentAutomation().Initialize();
}

TOleObject& TOleObject::operator=(TOleObject&& other) noexcept {
  if (this != &other) {
    if (object_) platform::CurrentAutomation().Release(object_);
    object_ = other.object_;
    other.object_ = 0;
  }
  return *this;
}

TOleObject::~TOleObject() {
  if (object_) platform::CurrentAutomation().Release(object_);
}

platform::AutomationValue TOleObject::Invoke(const std::string& member, platform::InvokeKind kind,
                                             std::vector<platform::AutomationValue>& arguments) {
  platform::AutomationCall call =
      platform::CurrentAutomation().Invoke(object_, member, kind, arguments);
  if (call.Error < 0) throw EOleError(call.Error, call.Message);
  return call.Result;
}

platform::AutomationValue TOleObject::Call(const std::string& member,
                                           std::vector<platform::AutomationValue>& arguments) {
  return Invoke(member, platform::InvokeKind::Method, arguments);
}

platform::AutomationValue TOleObject::Call(const std::string& member,
                                           std::vector<platform::AutomationValue>&& arguments) {
  return Invoke(member, platform::InvokeKind::Method, arguments);
}

platform::AutomationValue TOleObject::Get(const std::string& property) {
  std::vector<platform::AutomationValue> none;
  return Invoke(property, platform::InvokeKind::PropertyGet, none);
}

void TOleObject::Put(const std::string& property, const platform::AutomationValue& value) {
  std::vector<platform::AutomationValue> arguments{value};
  Invoke(property, platform::InvokeKind::PropertyPut, arguments);
}

TOleObject CreateOleObject(const std::string& progId) {
  platform::AutomationCreation creation = platform::CurrentAutomation().Create(progId);
  if (creation.Error < 0 || !creation.Object) {
    if (creation.Object) platform::CurrentAutomation().Release(creation.Object);
    throw EOleError(creation.Error, creation.Message);
  }
  return TOleObject(creation.Object);
}

bool ResultBoolean(const platform::AutomationValue& value) {
  using platform::AutomationKind;
  switch (value.Kind) {
    case AutomationKind::Empty:
      return false;
    case AutomationKind::Boolean:
      return value.Boolean;
    case AutomationKind::Integer:
      return value.Integer != 0;
    default: {
      const std::string text = Trim(value.AnsiText());
      if (SameText(text, "true")) return true;
      if (SameText(text, "false")) return false;
      return ResultInteger(value) != 0;
    }
  }
}

int32_t ResultInteger(const platform::AutomationValue& value) {
  using platform::AutomationKind;
  switch (value.Kind) {
    case AutomationKind::Empty:
      return 0;
    case AutomationKind::Boolean:
      return value.Boolean ? -1 : 0;
    case AutomationKind::Integer:
      return value.Integer;
    default: {
      const std::string text = Trim(value.AnsiText());
      errno = 0;
      char* end = nullptr;
      const long long number = std::strtoll(text.c_str(), &end, 10);
      if (text.empty() || *end != '\0' || errno != 0 || number < INT32_MIN || number > INT32_MAX)
        CannotConvert(value, "Integer");
      return static_cast<int32_t>(number);
    }
  }
}
