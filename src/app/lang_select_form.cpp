#include "app/lang_select_form.h"

using ui::ControlKind;

TLangSelectForm::TLangSelectForm() : TForm("TLangSelectForm", "LangSelectForm") {
  SetCaption("Installer Language");
  SetClientSize(kClientWidth, kClientHeight);
  SetBorderStyle(ui::TBorderStyle::Dialog);
  SetBorderIcons({.SystemMenu = true, .Minimize = false, .Maximize = false});
  SetPosition(ui::TFormPosition::ScreenCenter);

  LanguageIcon = &AddControl(ControlKind::Image, "LanguageIcon", nullptr, {12, 12, 32, 32})
                      .SetPicture("MAINICON");
  SelectLabel = &AddControl(ControlKind::Label, "SelectLabel", nullptr, {56, 14, 232, 13})
                     .SetText("Please select a language.");
  // Selection only, no typing.
  LanguageCombo = &AddControl(ControlKind::ComboBox, "LanguageCombo", nullptr, {56, 36, 232, 21})
                       .SetEditable(false);
  OKButton = &AddControl(ControlKind::Button, "OKButton", nullptr, {132, 76, 75, 23})
                  .SetText("&OK")
                  .SetDefault(true)
                  .SetModalResult(ui::TModalResult::Ok);
  CancelButton = &AddControl(ControlKind::Button, "CancelButton", nullptr, {213, 76, 75, 23})
                      .SetText("&Cancel")
                      .SetCancel(true)
                      .SetModalResult(ui::TModalResult::Cancel);
}
