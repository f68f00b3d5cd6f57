#include "localization/language_loader.h"

#include "localization/component_captions.h"
#include "localization/language_file.h"
#include "localization/language_state.h"
#include "localization/setup_strings.h"
#include "platform/files.h"
#include "platform/system_info.h"
#include "support/paths.h"
#include "support/programs.h"

bool ExportLanguageRequested() {
  std::string value;
  return FindSwitch(kExportLanguageSwitch, value);
}

TLanguageLoad LoadLanguage(const std::string& path) {
  const bool exportRequested = ExportLanguageRequested();
  const std::string file = path.empty() ? ProgramFolder() + kLanguageFileName : path;
  LanguageState().LanguageFilePath = file;
  const bool exists = FileExists(file);
  if (exportRequested || exists) RegisterSetupStrings();
  if (exists) {
    ImportLanguageFile(file, true);
    WriteComponentCaptions();
  }
  if (!exportRequested) return TLanguageLoad::Continue;
  ExportLanguageFile(file, true);
  return TLanguageLoad::EndProgram;
}
