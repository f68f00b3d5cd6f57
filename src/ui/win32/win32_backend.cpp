#include "ui/win32/win32_backend.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/codepage.h"
#include "ui/application.h"
#include "ui/layout.h"
#include "ui/win32/backend_internals.h"
#include "ui/win32/check_images.h"
#include "ui/win32/pictures.h"
#include "ui/win32/window_spec.h"

namespace ui {

// The backend's own helpers, shared by its files.
using namespace win32;

namespace {

struct TFrameStyle {
  DWORD Style;
  DWORD ExStyle;
};

TFrameStyle FrameStyleOf(const TForm& form) {
  const TBorderIcons& icons = form.BorderIcons();
  DWORD style = WS_CLIPCHILDREN | WS_CAPTION;
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (icons.SystemMenu) style |= WS_SYSMENU;
  const bool boxes = icons.SystemMenu;
  switch (form.BorderStyle()) {
    case TBorderStyle::Sizeable:
      style |= WS_THICKFRAME;
      if (boxes && icons.Minimize) style |= WS_MINIMIZEBOX;
      if (boxes && icons.Maximize) style |= WS_MAXIMIZEBOX;
      break;
    case TBorderStyle::Single:
      style |= WS_BORDER;
      if (boxes && icons.Minimize) style |= WS_MINIMIZEBOX;
      if (boxes && icons.Maximize) style |= WS_MAXIMIZEBOX;
      break;
    case TBorderStyle::Dialog:
      exStyle |= WS_EX_DLGMODALFRAME;
      break;
    case TBorderStyle::ToolWindow:
      exStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  return {style, exStyle};
}

UINT MessageBoxStyle(const TMessageBoxRequest& request) {
  UINT style = MB_TASKMODAL | MB_SETFOREGROUND;
  switch (request.Buttons) {
    case TMessageButtons::Ok:
      style |= MB_OK;
      break;
    case TMessageButtons::OkCancel:
      style |= MB_OKCANCEL;
      break;
    case TMessageButtons::AbortRetryIgnore:
      style |= MB_ABORTRETRYIGNORE;
      break;
    case TMessageButtons::YesNoCancel:
      style |= MB_YESNOCANCEL;
      break;
    case TMessageButtons::YesNo:
      style |= MB_YESNO;
      break;
    case TMessageButtons::RetryCancel:
      style |= MB_RETRYCANCEL;
      break;
  }
  switch (request.Icon) {
    case TMessageIcon::Error:
      style |= MB_ICONERROR;
      break;
    case TMessageIcon::Question:
      style |= MB_ICONQUESTION;
      break;
    case TMessageIcon::Warning:
      style |= MB_ICONWARNING;
      break;
    case TMessageIcon::Information:
      style |= MB_ICONINFORMATION;
      break;
    case TMessageIcon::None:
      break;
  }
  return style;
}

void RegisterClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw SystemError("cannot register the window class");
}

}  // namespace

TWin32Backend::TWin32Backend(int dpi) : scale_(dpi > 0 ? dpi : win32::SystemDpi()), gdi_(scale_) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS |
                   ICC_LISTVIEW_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  RegisterClass(win32::kFormClass, FormProc, nullptr);
  RegisterClass(win32::kPanelClass, PanelProc, nullptr);
  RegisterClass(win32::kImageClass, ImageProc, nullptr);
  checkImages_ = win32::CreateCheckImages(scale_.ToScreen(16));
  bigIcon_ = win32::CreatePictureIcon("MAINICON", GetSystemMetrics(SM_CXICON));
  smallIcon_ = win32::CreatePictureIcon("MAINICON", GetSystemMetrics(SM_CXSMICON));
  previous_ = InstallBackend(this);
}

TWin32Backend::~TWin32Backend() {
  InstallBackend(previous_);
  while (!forms_.empty()) {
    forms_.back()->Form->SetObserver(nullptr);
    DestroyFormWindow(*forms_.back());
    forms_.pop_back();
  }
  if (checkImages_) ImageList_Destroy(checkImages_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

// ---- guarded slots -------------------------------------------------------

void TWin32Backend::Keep(std::exception_ptr exception) {
  // The first one wins; later ones are consequences of it.
  if (!pending_) pending_ = exception;
}

void TWin32Backend::RethrowPending() {
  if (!pending_) return;
  std::exception_ptr exception = pending_;
  pending_ = nullptr;
  std::rethrow_exception(exception);
}

void TWin32Backend::Pump(const MSG& message) {
  TranslateMessage(&message);
  DispatchMessageW(&message);
  RethrowPending();
}

// ---- lookups --------------------------------------------------------------

TWin32Backend::TFormWindow* TWin32Backend::RecordOf(const TForm& form) const {
  for (const auto& record : forms_)
    if (record->Form == &form) return record.get();
  return nullptr;
}

TWin32Backend::TFormWindow* TWin32Backend::RecordOfWindow(HWND window) const {
  auto found = formWindows_.find(window);
  return found == formWindows_.end() ? nullptr : found->second;
}

const TWin32Backend::TControlRef* TWin32Backend::RefOf(HWND window) const {
  auto found = controlWindows_.find(window);
  return found == controlWindows_.end() ? nullptr : &found->second;
}

size_t TWin32Backend::IndexOf(const TFormWindow& record, const TControl& control) const {
  auto found = record.Index.find(&control);
  return found == record.Index.end() ? record.Windows.size() : found->second;
}

HWND TWin32Backend::WindowOf(const TForm& form) const {
  const TFormWindow* record = Realize(form);
  return record ? record->Window : nullptr;
}

HWND TWin32Backend::WindowOf(const TControl& control) const {
  const TFormWindow* record = Realize(control.Form());
  if (!record) return nullptr;
  const size_t index = IndexOf(*record, control);
  return index < record->Windows.size() ? record->Windows[index] : nullptr;
}

HTREEITEM TWin32Backend::ItemOf(const TTreeNode& node) const {
  const TFormWindow* record = Realize(node.Tree().Form());
  if (!record) return nullptr;
  auto found = record->Items.find(&node);
  return found == record->Items.end() ? nullptr : found->second;
}

HWND TWin32Backend::HostOf(const TFormWindow& record, const TControl& control) const {
  for (const TControl* parent = control.Parent(); parent; parent = parent->Parent()) {
    if (!IsHost(parent->Kind())) continue;
    const size_t index = IndexOf(record, *parent);
    if (index < record.Windows.size() && record.Windows[index]) return record.Windows[index];
  }
  return record.Window;
}

COLORREF TWin32Backend::BackgroundOf(const TControl& control) const {
  for (const TControl* c = &control; c; c = c->Parent())
    if (c->Color() != kColorDefault &&
        (IsHost(c->Kind()) || c->Kind() == ControlKind::GroupBox ||
         c->Kind() == ControlKind::Label || c->Kind() == ControlKind::Image))
      return win32::ResolveColor(c->Color(), GetSysColor(COLOR_BTNFACE));
  return win32::ResolveColor(control.Form().Color(), GetSysColor(COLOR_BTNFACE));
}

HWND TWin32Backend::FrontWindow() const {
  for (auto form = modals_.rbegin(); form != modals_.rend(); ++form)
    if (HWND window = WindowOf(**form); window && IsWindowVisible(window)) return window;
  HWND active = GetActiveWindow();
  if (active && RecordOfWindow(active) && IsWindowVisible(active)) return active;
  for (auto form = shown_.rbegin(); form != shown_.rend(); ++form)
    if (HWND window = WindowOf(**form); window && IsWindowVisible(window)) return window;
  return nullptr;
}

// ---- forms ----------------------------------------------------------------

void TWin32Backend::CreateForm(TForm& form) {
  if (RecordOf(form) || std::find(unbuilt_.begin(), unbuilt_.end(), &form) != unbuilt_.end())
    return;
  unbuilt_.push_back(&form);
  form.SetObserver(this);
}

TWin32Backend::TFormWindow* TWin32Backend::Realize(const TForm& form) const {
  if (TFormWindow* record = RecordOf(form)) return record;
  auto self = const_cast<TWin32Backend*>(this);
  auto found = std::find(self->unbuilt_.begin(), self->unbuilt_.end(), &form);
  if (found == self->unbuilt_.end()) return nullptr;
  TForm& pending = **found;
  self->unbuilt_.erase(found);
  self->Build(pending);
  return RecordOf(form);
}

void TWin32Backend::Build(TForm& form) {
  auto owned = std::make_unique<TFormWindow>();
  TFormWindow& record = *owned;
  record.Form = &form;
  const TFrameStyle frame = FrameStyleOf(form);
  RECT size{0, 0, scale_.ToScreen(form.ClientWidth()), scale_.ToScreen(form.ClientHeight())};
  AdjustWindowRectEx(&size, frame.Style, FALSE, frame.ExStyle);
  record.Window =
      CreateWindowExW(frame.ExStyle, win32::kFormClass, WidePtr(form.WideCaption()), frame.Style,
                      CW_USEDEFAULT, CW_USEDEFAULT, size.right - size.left, size.bottom - size.top,
                      nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!record.Window) throw SystemError("cannot create the window " + form.ClassName());
  forms_.push_back(std::move(owned));
  formWindows_[record.Window] = &record;
  try {
    if (bigIcon_)
      SendMessageW(record.Window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_)
      SendMessageW(record.Window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    record.Tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, record.Window,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!record.Tips) throw SystemError("cannot create the hints of " + form.ClassName());
    aligning_ = true;
    AlignControls(form);
    aligning_ = false;
    const auto& controls = form.Controls();
    record.Windows.assign(controls.size(), nullptr);
    for (size_t i = 0; i < controls.size(); ++i)
      record.Index[controls[i].get()] = i;
    for (size_t i = 0; i < controls.size(); ++i)
      CreateControlWindow(record, i);
    // What lies in a group box is its sibling: the box goes below it, or it
    // would cover the controls it frames.
    for (size_t i = 0; i < controls.size(); ++i)
      if (controls[i]->Kind() == ControlKind::GroupBox && record.Windows[i])
        SetWindowPos(record.Windows[i], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Center(record);
  } catch (...) {
    aligning_ = false;
    DestroyFormWindow(record);
    forms_.pop_back();
    throw;
  }
}

void TWin32Backend::DestroyFormWindow(TFormWindow& record) {
  for (HWND window : record.Windows)
    controlWindows_.erase(window);
  for (auto it = controlWindows_.begin(); it != controlWindows_.end();)
    it = it->second.Record == &record ? controlWindows_.erase(it) : std::next(it);
  formWindows_.erase(record.Window);
  if (record.Window) DestroyWindow(record.Window);
  record.Window = nullptr;
  record.Windows.clear();
  std::erase(shown_, record.Form);
  std::erase(modals_, record.Form);
}

void TWin32Backend::FormDestroyed(TForm& form) {
  std::erase(unbuilt_, &form);
  for (auto it = forms_.begin(); it != forms_.end(); ++it) {
    if ((*it)->Form != &form) continue;
    DestroyFormWindow(**it);
    forms_.erase(it);
    return;
  }
}

void TWin32Backend::Center(TFormWindow& record) {
  if (record.Form->Position() != TFormPosition::ScreenCenter) return;
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
    work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT own{};
  GetWindowRect(record.Window, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(record.Window, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Backend::ApplyFrame(TFormWindow& record) {
  const TFrameStyle frame = FrameStyleOf(*record.Form);
  const LONG_PTR kept = GetWindowLongPtrW(record.Window, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED);
  SetWindowLongPtrW(record.Window, GWL_STYLE, static_cast<LONG_PTR>(frame.Style) | kept);
  SetWindowLongPtrW(record.Window, GWL_EXSTYLE, frame.ExStyle);
  RECT size{0, 0, scale_.ToScreen(record.Form->ClientWidth()),
            scale_.ToScreen(record.Form->ClientHeight())};
  AdjustWindowRectEx(&size, frame.Style, FALSE, frame.ExStyle);
  SetWindowPos(record.Window, nullptr, 0, 0, size.right - size.left, size.bottom - size.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWin32Backend::FocusFirst(TFormWindow& record) {
  TForm& form = *record.Form;
  TControl* target = form.ActiveControl();
  if (!target || !target->Reachable()) {
    target = nullptr;
    for (const auto& control : form.Controls())
      if (TakesFocus(control->Kind()) && control->Reachable() && WindowOf(*control)) {
        target = control.get();
        break;
      }
  }
  if (HWND window = target ? WindowOf(*target) : nullptr)
    SetFocus(window);
  else
    SetFocus(record.Window);
}

void TWin32Backend::ShowForm(TForm& form) {
  TFormWindow* record = Realize(form);
  if (!record) throw std::logic_error(form.ClassName() + " has no window: CreateForm first");
  std::erase(shown_, &form);
  shown_.push_back(&form);
  form.SetVisible(true);
  SetForegroundWindow(record->Window);
  FocusFirst(*record);
  if (form.OnShow) Dispatch([&] { form.OnShow(form); });
  RethrowPending();
}

void TWin32Backend::HideForm(TForm& form) {
  form.SetVisible(false);
}

TModalResult TWin32Backend::ShowModal(TForm& form) {
  TFormWindow* record = Realize(form);
  if (!record) throw std::logic_error(form.ClassName() + " has no window: CreateForm first");
  if (form.Modal()) throw std::logic_error(form.ClassName() + " is already shown modally");
  form.SetModal(true);
  form.SetModalResult(TModalResult::None);
  modals_.push_back(&form);
  std::vector<HWND> disabled;
  for (const auto& other : forms_) {
    if (other.get() == record || !IsWindowVisible(other->Window) || !IsWindowEnabled(other->Window))
      continue;
    EnableWindow(other->Window, FALSE);
    disabled.push_back(other->Window);
  }
  auto finish = [&] {
    // Enabled before the modal window hides, so that the window behind it
    // becomes the active one again.
    for (HWND window : disabled)
      if (IsWindow(window)) EnableWindow(window, TRUE);
    disabled.clear();
    form.SetVisible(false);
    std::erase(modals_, &form);
    form.SetModal(false);
  };
  bool quit = false;
  WPARAM quitCode = 0;
  try {
    ShowForm(form);
    for (;;) {
      if (form.ModalResult() != TModalResult::None) {
        if (quit) break;
        bool canClose = true;
        if (form.OnCloseQuery) Dispatch([&] { form.OnCloseQuery(form, canClose); });
        RethrowPending();
        if (canClose) break;
        form.SetModalResult(TModalResult::None);
      }
      MSG message;
      const BOOL got = GetMessageW(&message, nullptr, 0, 0);
      if (got == -1) throw SystemError("the message loop failed");
      if (got == 0) {
        // The program ends: the window closes as if cancelled and the quit
        // request goes on to the outer loop.
        quit = true;
        quitCode = message.wParam;
        form.SetModalResult(TModalResult::Cancel);
        continue;
      }
      Pump(message);
    }
    const TModalResult result = form.ModalResult();
    finish();
    if (form.OnClose) Dispatch([&] { form.OnClose(form); });
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    RethrowPending();
    return result;
  } catch (...) {
    if (form.Modal()) finish();
    throw;
  }
}

TModalResult TWin32Backend::ShowMessageBox(const TMessageBoxRequest& request) {
  const std::u16string text = platform::AnsiToUtf16(request.Text);
  const std::u16string caption = platform::AnsiToUtf16(request.Caption);
  const int answer =
      MessageBoxW(FrontWindow(), WidePtr(text), WidePtr(caption), MessageBoxStyle(request));
  RethrowPending();
  if (answer == 0) throw SystemError("cannot show the message box \"" + request.Caption + "\"");
  return static_cast<TModalResult>(answer);
}

void TWin32Backend::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the loop that waits for it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Pump(message);
  }
}

void TWin32Backend::SetWaitCursor(bool wait) {
  waitCursor_ = wait;
  SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(wait ? IDC_WAIT : IDC_ARROW)));
}

void TWin32Backend::Run() {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) throw SystemError("the message loop failed");
    if (got == 0) return;
    Pump(message);
  }
}

}  // namespace ui
