// The language chooser shown at start when more than English is offered.
#pragma once

#include <string>
#include <vector>

#include "ui/form.h"

class TLangSelectForm : public ui::TForm {
 public:
  static constexpr int kClientWidth = 300;
  static constexpr int kClientHeight = 112;

  TLangSelectForm();

  ui::TControl* LanguageIcon = nullptr;
  ui::TControl* SelectLabel = nullptr;
  ui::TControl* LanguageCombo = nullptr;
  ui::TControl* OKButton = nullptr;
  ui::TControl* CancelButton = nullptr;

  // "caption;language file" per language offered, and "country;info.xml"
  // per language folder that names a country; kept for the whole run.
  std::vector<std::string> LanguageList;
  std::vector<std::string> CountryList;
};
