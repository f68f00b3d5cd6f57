// Automation objects of the suite, created by ProgID and called late-bound
// by member name. A failing call raises EOleError with the server's own
// message, as the caller's guard logs it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/automation.h"

class EOleError : public std::runtime_error {
 public:
  EOleError(int32_t code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int32_t Code() const { return code_; }

 private:
  int32_t code_;
};

// CoInitialize for the calling thread; calling it again does no harm.
void InitializeComThread();

class TOleObject {
 public:
  explicit TOleObject(platform::AutomationObject object) : object_(object) {}
  TOleObject(TOleObject&& other) noexcept : object_(other.object_) { other.object_ = 0; }
  TOleObject& operator=(TOleObject&& other) noexcept;
  TOleObject(const TOleObject&) = delete;
  TOleObject& operator=(const TOleObject&) = delete;
  ~TOleObject();

  // A method call; by-reference arguments carry back the server's values.
  platform::AutomationValue Call(const std::string& member,
                                 std::vector<platform::AutomationValue>& arguments);
  platform::AutomationValue Call(const std::string& member,
                                 std::vector<platform::AutomationValue>&& arguments = {});
  platform::AutomationValue Get(const std::string& property);
  void Put(const std::string& property, const platform::AutomationValue& value);

 private:
  platform::AutomationValue Invoke(const std::string& member, platform::InvokeKind kind,
                                   std::vector<platform::AutomationValue>& arguments);
  platform::AutomationObject object_;
};

// ProgID -> CLSID -> a new instance; raises EOleError when any step fails.
TOleObject CreateOleObject(const std::string& progId);

// A result read as a boolean or a 32-bit integer, as a variant converts: a
// number is true when not 0, true is -1; text must spell the value. Text
// that does not raises EOleError.
bool ResultBoolean(const platform::AutomationValue& value);
int32_t ResultInteger(const platform::AutomationValue& value);
