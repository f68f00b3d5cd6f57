// The language chooser shown at start when more than English is offered.
#pragma once

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
};
