// A window as data: its class name (the name the language file knows it
// by), its component name, title, font and client size, how it is framed and
// placed, and the controls it owns in creation order. Windows of the
// installer derive from TForm and create their controls in their
// constructors.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/color.h"
#include "ui/control.h"
#include "ui/events.h"
#include "ui/font.h"
#include "ui/modal_result.h"
#include "ui/model_observer.h"

namespace ui {

enum class TBorderStyle { Sizeable, Single, Dialog, ToolWindow };
enum class TFormPosition { Designed, ScreenCenter };

// Buttons of the title bar.
struct TBorderIcons {
  bool SystemMenu = true;
  bool Minimize = true;
  bool Maximize = true;
  bool operator==(const TBorderIcons&) const = default;
};

class TForm {
 public:
  // A wide form keeps Unicode text in its title and in all its controls.
  TForm(std::string_view className, std::string_view name, bool wide = false);
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;
  virtual ~TForm();

  const std::string& ClassName() const { return className_; }
  const std::string& Name() const { return name_; }
  bool Wide() const { return wide_; }

  std::string Caption() const;  // in the ANSI code page
  const std::u16string& WideCaption() const { return caption_; }
  void SetCaption(std::string_view caption);
  void SetWideCaption(std::u16string_view caption);

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  void SetFontName(std::string_view name);
  void SetFontSize(int points);

  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  TColor Color() const { return color_; }
  void SetColor(TColor color);

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  const TBorderIcons& BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(const TBorderIcons& icons);
  TFormPosition Position() const { return position_; }
  void SetPosition(TFormPosition position);
  // The form sees key presses before the focused control does.
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool preview);

  // Shown on the screen; kept by the backend.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Set while the form runs modally; a result other than None ends the
  // modal run once the close query allows it.
  bool Modal() const { return modal_; }
  void SetModal(bool modal);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result);

  TControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TControl* control);

  // Controls in creation order, which is also their ownership order.
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }
  // parent nullptr: the form's client area. Names are unique in a form.
  TControl& AddControl(ControlKind kind, std::string_view name, TControl* parent,
                       const TRect& bounds);
  TControl* FindControl(std::string_view name) const;
  // FindControl that throws std::out_of_range when there is no such control.
  TControl& Control(std::string_view name) const;

  // The backend that shows this form; nullptr while none does.
  TModelObserver* Observer() const { return observer_; }
  void SetObserver(TModelObserver* observer) { observer_ = observer; }
  void Notify(TControl* control, TTreeNode* node, TChange change);

  TFormEvent OnShow;
  TFormEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TFormKeyPressEvent OnKeyPress;

 private:
  std::string className_;
  std::string name_;
  bool wide_;
  std::u16string caption_;
  TFont font_ = TFont().Named("Tahoma").Sized(8);
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  TColor color_ = kColorButtonFace;
  TBorderStyle borderStyle_ = TBorderStyle::Sizeable;
  TBorderIcons borderIcons_;
  TFormPosition position_ = TFormPosition::Designed;
  bool keyPreview_ = false;
  bool visible_ = false;
  bool modal_ = false;
  TModalResult modalResult_ = TModalResult::None;
  TControl* activeControl_ = nullptr;
  std::vector<std::unique_ptr<TControl>> controls_;
  TModelObserver* observer_ = nullptr;
};

}  // namespace ui
