// Late-bound COM automation: objects created by ProgID and called by member
// name through IDispatch. Each call returns the system's HRESULT; when the
// server raised an exception, its own description comes with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// How a value travels: a BSTR made from ANSI text, a BSTR made from UTF-16
// text, a BSTR passed by reference (the server may change it), a 32-bit
// integer (VT_I4) or a VARIANT_BOOL.
enum class AutomationKind { Empty, String, WideString, StringRef, Integer, Boolean };

struct AutomationValue {
  AutomationKind Kind = AutomationKind::Empty;
  std::u16string Text;  // the three string kinds
  int32_t Integer = 0;
  bool Boolean = false;

  static AutomationValue String(std::string_view ansi);
  static AutomationValue Wide(std::u16string_view text);
  static AutomationValue StringRef(std::string_view ansi);
  static AutomationValue Int(int32_t value);
  static AutomationValue Bool(bool value);

  // The text in the ANSI code page (empty for other kinds).
  std::string AnsiText() const;
  bool operator==(const AutomationValue&) const = default;
};

// The kind's name as a type: "BSTR", "WideString", "BSTR*", "I4", "BOOL".
const char* AutomationKindName(AutomationKind kind);

using AutomationObject = uintptr_t;  // 0: none

enum class InvokeKind { Method, PropertyGet, PropertyPut };

struct AutomationCall {
  int32_t Error = 0;    // HRESULT; negative: failed
  std::string Message;  // the server's description, else the system's text
  AutomationValue Result;
};

struct AutomationCreation {
  AutomationObject Object = 0;
  int32_t Error = 0;
  std::string Message;
};

class Automation {
 public:
  virtual ~Automation() = default;
  // CoInitialize for the calling thread (S_FALSE: it already was).
  virtual int32_t Initialize() = 0;
  // CLSIDFromProgID, then CoCreateInstance for IDispatch.
  virtual AutomationCreation Create(const std::string& progId) = 0;
  // GetIDsOfNames, then Invoke with the arguments in order. By-reference
  // arguments carry back what the server left in them.
  virtual AutomationCall Invoke(AutomationObject object, const std::string& member, InvokeKind kind,
                                std::vector<AutomationValue>& arguments) = 0;
  virtual void Release(AutomationObject object) = 0;
};

Automation& CurrentAutomation();
Automation* InstallAutomation(Automation* automation);

}  // namespace platform
