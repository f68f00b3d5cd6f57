// "upgrade.dat" records how far an upgrade got; a damaged one must be
// refused or read into a record that writes back to the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "upgrade/upgrade_procedures.h"
#include "upgrade/upgrade_progress.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto progress = ParseUpgradeProgress(text, kUpgradeStepCount);
  if (!progress) return 0;
  Check(progress->Done >= 0 && progress->Done <= kUpgradeStepCount);
  Check(progress->Pending >= 0 && progress->Pending <= kUpgradeStepCount);
  Check(progress->From.size() <= 255);
  // The written form may differ from the input (blank lines, order), but it
  // reads back into the same record.
  std::string written = UpgradeProgressText(*progress);
  auto again = ParseUpgradeProgress(written, kUpgradeStepCount);
  Check(again && UpgradeProgressText(*again) == written);
  return 0;
}
