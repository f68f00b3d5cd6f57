// Choosing the installer's language at start, and the country settings that
// a language folder may carry.
#pragma once

#include <string>

#include "app/installer_state.h"
#include "app/lang_select_form.h"

inline constexpr const char* kLanguageFolderName = "lang\\";
inline constexpr const char* kLanguageArchiveName = "setuplang.dat";
inline constexpr const char* kEnglishLanguage = "English";

// Offers the languages of the installer's language folder (unpacked from
// "setuplang.dat" into the extraction folder when that archive is there)
// and loads the one chosen, with its licence and readme texts. False when
// the user cancelled.
bool ChooseLanguage(TLangSelectForm& form, TInstallerState& state);

// Reads the info.xml of the first language folder that names this country
// (exactly, letter case included); no match changes nothing.
void ApplyCountry(const TLangSelectForm& form, TInstallerState& state, const std::string& country);
