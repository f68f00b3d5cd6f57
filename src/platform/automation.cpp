#include "platform/automation.h"

#include <atomic>

#include "platform/codepage.h"
#include "platform/native.h"

namespace platform {

AutomationValue AutomationValue::String(std::string_view ansi) {
  AutomationValue value;
  value.Kind = AutomationKind::String;
  value.Text = AnsiToUtf16(ansi);
  return value;
}

AutomationValue AutomationValue::Wide(std::u16string_view text) {
  AutomationValue value;
  value.Kind = AutomationKind::WideString;
  value.Text = text;
  return value;
}

AutomationValue AutomationValue::StringRef(std::string_view ansi) {
  AutomationValue value = String(ansi);
  value.Kind = AutomationKind::StringRef;
  return value;
}

AutomationValue AutomationValue::Int(int32_t number) {
  AutomationValue value;
  value.Kind = AutomationKind::Integer;
  value.Integer = number;
  return value;
}

AutomationValue AutomationValue::Bool(bool flag) {
  AutomationValue value;
  value.Kind = AutomationKind::Boolean;
  value.Boolean = flag;
  return value;
}

std::string AutomationValue::AnsiText() const {
  return Utf16ToAnsi(Text);
}

const char* AutomationKindName(AutomationKind kind) {
  switch (kind) {
    case AutomationKind::Empty:
      return "EMPTY";
    case AutomationKind::String:
      return "BSTR";
    case AutomationKind::WideString:
      return "WideString";
    case AutomationKind::StringRef:
      return "BSTR*";
    case AutomationKind::Integer:
      return "I4";
    case AutomationKind::Boolean:
      return "BOOL";
  }
  return "?";
}

namespace {
std::atomic<Automation*> installedAutomation{nullptr};
}  // namespace

Automation& CurrentAutomation() {
  Automation* current = installedAutomation.load();
  return current ? *current : NativeAutomation();
}
Automation* InstallAutomation(Automation* automation) {
  return installedAutomation.exchange(automation);
}

}  // namespace platform
