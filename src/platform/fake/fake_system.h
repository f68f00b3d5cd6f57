// System facts for tests; each one is a plain field the test sets. It takes
// the place of the real system while it lives.
#pragma once

#include <cstdint>
#include <vector>

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
  DnsServerSettings DnsServers() override { return Dns; }
  int UtcOffsetMinutes() override { return UtcOffset; }
  bool SetProcessorAffinity(bool firstProcessorOnly) override {
    AffinityRequests.push_back(firstProcessorOnly);
    if (!AffinityResult) return false;
    Affinity = firstProcessorOnly ? (AllProcessors & (~AllProcessors + 1)) : AllProcessors;
    return true;
  }
  uint64_t ProcessorAffinityMask() override { return Affinity; }

  std::string Temp = "C:\\Temp\\";
  std::string Windows = "C:\\Windows";
  std::string System = "C:\\Windows\\system32";
  PlatformId Id = PlatformId::NT;
  std::string Program = "C:\\Dist\\setup.exe";
  std::vector<std::string> Args;
  DnsServerSettings Dns;
  int UtcOffset = 0;
  uint64_t AllProcessors = 0xF;
  uint64_t Affinity = 0xF;
  bool AffinityResult = true;
  std::vector<bool> AffinityRequests;  // each call's firstProcessorOnly

 private:
  SystemInfo* previous_;
};

}  // namespace platform
