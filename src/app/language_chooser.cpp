#include "app/language_chooser.h"

#include <algorithm>

#include "app/installer_info.h"
#include "archive/extract_archive.h"
#include "localization/language_folder.h"
#include "localization/language_loader.h"
#include "support/paths.h"
#include "support/text.h"
#include "ui/backend.h"

namespace {

std::string LanguageFolder(const TInstallerState& state) {
  const std::string installerFolder = ProgramFolder();
  const std::string archive = installerFolder + kLanguageArchiveName;
  if (!FileExists(archive)) return installerFolder + kLanguageFolderName;
  const std::string folder = state.ExtractPath + kLanguageFolderName;
  int resultCode = 0;
  // What could not be unpacked is simply not offered.
  ExtractArchive(archive, folder, resultCode, true);
  return folder;
}

}  // namespace

bool ChooseLanguage(TLangSelectForm& form, TInstallerState& state) {
  const std::string folder = LanguageFolder(state);
  ScanLanguageFolder(folder, form.LanguageList, form.CountryList);
  form.LanguageList.push_back(kEnglishLanguage);
  // By caption: "Deutsch" before "Deutsch (Schweiz)", whatever the paths.
  std::stable_sort(form.LanguageList.begin(), form.LanguageList.end(),
                   [](const std::string& a, const std::string& b) {
                     const std::string captionA = LowerCase(EntryCaption(a));
                     const std::string captionB = LowerCase(EntryCaption(b));
                     return captionA != captionB ? captionA < captionB
                                                 : LowerCase(a) < LowerCase(b);
                   });

  const std::string englishInfo = folder + "en\\" + "info.xml";
  if (FileExists(englishInfo)) ReadInstallerInfo(state, englishInfo);

  std::vector<std::string> captions;
  for (const std::string& entry : form.LanguageList)
    captions.push_back(EntryCaption(entry));
  form.LanguageCombo->SetItems(captions);
  const std::string wanted =
      state.DefaultLanguage.empty() ? kEnglishLanguage : state.DefaultLanguage;
  form.LanguageCombo->SetItemIndex(form.LanguageCombo->IndexOfItem(wanted));

  if (form.LanguageList.size() == 1) return true;
  if (ui::ShowModal(form) != ui::TModalResult::Ok) return false;

  const int index = form.LanguageCombo->ItemIndex();
  if (index < 0 || static_cast<size_t>(index) >= form.LanguageList.size()) return true;
  const std::string path = EntryPath(form.LanguageList[index]);
  if (path.empty()) return true;
  LoadLanguage(path);
  const std::string languageFolder = ExtractFilePath(path);
  if (FileExists(languageFolder + "license.txt"))
    state.LicenseTextPath = languageFolder + "license.txt";
  if (FileExists(languageFolder + "readme.txt")) state.ReadmePath = languageFolder + "readme.txt";
  return true;
}

void ApplyCountry(const TLangSelectForm& form, TInstallerState& state, const std::string& country) {
  for (const std::string& entry : form.CountryList) {
    if (EntryCaption(entry) != country) continue;
    ReadInstallerInfo(state, EntryPath(entry));
    return;
  }
}
