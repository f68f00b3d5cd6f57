// Loading the language at start and when the user picks one, and the
// "exportlanguage" switch that writes the current texts as a template.
#pragma once

#include <string>

constexpr const char* kLanguageFileName = "setup.lng";
constexpr const char* kExportLanguageSwitch = "exportlanguage";

enum class TLanguageLoad {
  Continue,
  // The switch was given and the language file written: the program is to
  // end now with exit code 0.
  EndProgram,
};

// "/exportlanguage" or "-exportlanguage" on the command line, in any case.
bool ExportLanguageRequested();

// Loads the language file at path; an empty path means "setup.lng" beside
// the installer. Registers the installer's keys the first time a file or
// the switch is found, imports the file when it exists, and with the switch
// writes the merged texts back to the same path.
TLanguageLoad LoadLanguage(const std::string& path);
