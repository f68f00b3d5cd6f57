// Where the stand-in finds the suite: the folder of its own library is the
// installation folder, its "config\" folder holds the configuration, and
// "logs\automation.log" receives one line per call.
#pragma once

#include <windows.h>

#include <string>

void SetStandInModule(HMODULE module);
std::string StandInModulePath();
// The installation folder, ending in `\`.
std::string StandInInstallFolder();

// Loads the suite's settings and domain table from the configuration folder
// into the library's store.
void LoadSuiteSettings();
// Saves them back; false when nothing could be written.
bool SaveSuiteSettings(bool settingsOnly);

void WriteStandInLog(const std::string& line);
