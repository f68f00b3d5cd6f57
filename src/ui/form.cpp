#include "ui/form.h"

#include <stdexcept>

#include "platform/codepage.h"

namespace ui {

TForm::TForm(std::string_view className, std::string_view name, bool wide)
    : className_(className), name_(name), wide_(wide) {}

TForm::~TForm() {
  if (observer_) observer_->FormDestroyed(*this);
}

std::string TForm::Caption() const {
  return platform::Utf16ToAnsi(caption_);
}

void TForm::SetCaption(std::string_view caption) {
  caption_ = platform::AnsiToUtf16(caption);
  Notify(nullptr, nullptr, TChange::Caption);
}

void TForm::SetWideCaption(std::u16string_view caption) {
  caption_ =
      wide_ ? std::u16string(caption) : platform::AnsiToUtf16(platform::Utf16ToAnsi(caption));
  Notify(nullptr, nullptr, TChange::Caption);
}

void TForm::SetFont(const TFont& font) {
  font_ = font;
  Notify(nullptr, nullptr, TChange::Font);
}

void TForm::SetFontName(std::string_view name) {
  font_.Name = name;
  Notify(nullptr, nullptr, TChange::Font);
}

void TForm::SetFontSize(int points) {
  font_.Size = points;
  Notify(nullptr, nullptr, TChange::Font);
}

void TForm::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  Notify(nullptr, nullptr, TChange::ClientSize);
}

void TForm::SetColor(TColor color) {
  color_ = color;
  Notify(nullptr, nullptr, TChange::Color);
}

void TForm::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  Notify(nullptr, nullptr, TChange::Style);
}

void TForm::SetBorderIcons(const TBorderIcons& icons) {
  borderIcons_ = icons;
  Notify(nullptr, nullptr, TChange::Style);
}

void TForm::SetPosition(TFormPosition position) {
  position_ = position;
  Notify(nullptr, nullptr, TChange::Bounds);
}

void TForm::SetKeyPreview(bool preview) {
  keyPreview_ = preview;
}

void TForm::SetVisible(bool visible) {
  visible_ = visible;
  Notify(nullptr, nullptr, TChange::Visible);
}

void TForm::SetModal(bool modal) {
  modal_ = modal;
}

void TForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  Notify(nullptr, nullptr, TChange::ModalResult);
}

void TForm::SetActiveControl(TControl* control) {
  if (control && &control->Form() != this) return;
  activeControl_ = control;
  Notify(control, nullptr, TChange::Focus);
}

TControl& TForm::AddControl(ControlKind kind, std::string_view name, TControl* parent,
                            const TRect& bounds) {
  if (!name.empty() && FindControl(name))
    throw std::invalid_argument("a control of that name exists: " + std::string(name));
  if (parent && &parent->Form() != this)
    throw std::invalid_argument("the parent belongs to another form");
  controls_.push_back(std::make_unique<TControl>(*this, kind, name, parent));
  TControl& control = *controls_.back();
  control.SetBounds(bounds);
  return control;
}

TControl* TForm::FindControl(std::string_view name) const {
  for (const auto& control : controls_)
    if (control->Name() == name) return control.get();
  return nullptr;
}

TControl& TForm::Control(std::string_view name) const {
  TControl* control = FindControl(name);
  if (!control) throw std::out_of_range(className_ + " has no control " + std::string(name));
  return *control;
}

void TForm::Notify(TControl* control, TTreeNode* node, TChange change) {
  if (observer_) observer_->Changed(*this, control, node, change);
}

}  // namespace ui
