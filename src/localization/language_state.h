// What the process remembers about its language: whether the installer's
// keys are registered (once per run) and which language file was named last
// (copied into the installation as "setup.lng").
#pragma once

#include <string>

struct TLanguageState {
  bool StringsRegistered = false;
  std::string LanguageFilePath;
};

TLanguageState& LanguageState();
