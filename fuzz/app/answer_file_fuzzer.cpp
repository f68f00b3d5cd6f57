// The answer file of an unattended installation: any text is accepted or
// refused with a reason, and what is accepted survives being saved and read
// again (without its passwords).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/answer_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TAnswerFile answers;
  std::string error;
  if (!ParseAnswerFile(text, answers, error)) {
    Check(!error.empty());
    return 0;
  }
  const std::string saved = FormatAnswerFile(answers);
  TAnswerFile again;
  Check(ParseAnswerFile(saved, again, error));
  // The configuration, with its password, is never saved.
  Check(!again.Configure && again.Password.empty());
  Check(again.Name == answers.Name && again.Email == answers.Email &&
        again.Company == answers.Company && again.Country == answers.Country &&
        again.Advanced == answers.Advanced && again.Components == answers.Components &&
        again.Destination == answers.Destination && again.Language == answers.Language &&
        again.QuickStart == answers.QuickStart &&
        again.ConfigurationWizard == answers.ConfigurationWizard);
  if (answers.Database) Check(again.Database == ConnectionWithoutPasswords(*answers.Database));
  return 0;
}
