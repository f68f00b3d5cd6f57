// System facts for tests; each one is a plain field the test sets. It takes
// the place of the real system while it lives.
#pragma once

#include "platform/system_info.h"

namespace platform {

class FakeSystem final : public SystemInfo {
 public:
  FakeSystem() : previous_(InstallSystem(this)) {}
  ~FakeSystem() override { InstallSystem(previous_); }

  std::string TempFolder() override { return Temp; }
  std::string WindowsFolder() override { return Windows; }
  std::string SystemFolder() override { return System; }
  PlatformId Platform() override { return Id; }
  std::string ProgramPath() override { return Program; }
  std::vector<std::string> Arguments() override { return Args; }

  std::string Temp = "C:\\Temp\\";
  std::string Windows = "C:\\Windows";
  std::string System = "C:\\Windows\\system32";
  PlatformId Id = PlatformId::NT;
  std::string Program = "C:\\Dist\\setup.exe";
  std::vector<std::string> Args;

 private:
  SystemInfo* previous_;
};

}  // namespace platform
