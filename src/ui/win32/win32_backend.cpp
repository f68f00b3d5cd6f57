#include "ui/win32/win32_backend.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/codepage.h"
#include "ui/application.h"
#include "ui/layout.h"
#include "ui/win32/check_images.h"
#include "ui/win32/pictures.h"
#include "ui/win32/window_spec.h"

namespace ui {

using win32::FromWide;
using win32::WidePtr;
using win32::WindowText;

// What the backend keeps for a form: its window, the window of each control
// (parallel to the form's controls; nullptr for kinds without one) and the
// tree items shown for the nodes of its tree views.
struct TWin32Backend::TFormWindow {
  TForm* Form = nullptr;
  HWND Window = nullptr;
  std::vector<HWND> Windows;
  std::unordered_map<const TControl*, size_t> Index;
  std::unordered_map<const TTreeNode*, HTREEITEM> Items;
  std::unordered_map<const TControl*, std::vector<const TTreeNode*>> ShownNodes;
  HWND Tips = nullptr;  // the tooltip window that shows the hints
  POINT LastTreePoint{};
};

namespace {

constexpr int kFirstControlId = 100;
constexpr UINT_PTR kSubclassId = 1;
constexpr int kComboListHeight = 160;

class TApplying {
 public:
  explicit TApplying(int& counter) : counter_(counter) { ++counter_; }
  ~TApplying() { --counter_; }
  TApplying(const TApplying&) = delete;
  TApplying& operator=(const TApplying&) = delete;

 private:
  int& counter_;
};

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + " (system error " + std::to_string(GetLastError()) + ")");
}

// An edit control breaks lines only at CR LF.
std::u16string WithCrLf(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
    out += text[i];
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) out += u'\n';
  }
  return out;
}

bool IsHost(ControlKind kind) {
  return kind == ControlKind::Panel || kind == ControlKind::TabSheet;
}

bool ShownInModel(const TControl& control) {
  for (const TControl* c = &control; c; c = c->Parent())
    if (!c->Visible()) return false;
  return true;
}

bool EnabledInModel(const TControl& control) {
  for (const TControl* c = &control; c; c = c->Parent())
    if (!c->Enabled()) return false;
  return true;
}

bool IsListBox(ControlKind kind) {
  return kind == ControlKind::ListBox || kind == ControlKind::CheckListBox ||
         kind == ControlKind::ListView || kind == ControlKind::DirectoryList;
}

bool IsComboBox(ControlKind kind) {
  return kind == ControlKind::ComboBox || kind == ControlKind::DriveList;
}

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

char16_t KeyOf(WPARAM wParam) {
  return static_cast<char16_t>(wParam & 0xFFFF);
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

template <class Handler>
void TWin32Backend::Dispatch(Handler&& handler) {
  try {
    handler();
  } catch (...) {
    try {
      Application().HandleException(std::current_exception());
    } catch (...) {
      Keep(std::current_exception());
    }
  }
}

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
  const TFormWindow* record = RecordOf(form);
  return record ? record->Window : nullptr;
}

HWND TWin32Backend::WindowOf(const TControl& control) const {
  const TFormWindow* record = RecordOf(control.Form());
  if (!record) return nullptr;
  const size_t index = IndexOf(*record, control);
  return index < record->Windows.size() ? record->Windows[index] : nullptr;
}

HTREEITEM TWin32Backend::ItemOf(const TTreeNode& node) const {
  const TFormWindow* record = RecordOf(node.Tree().Form());
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
  if (RecordOf(form)) return;
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
    Center(record);
  } catch (...) {
    aligning_ = false;
    DestroyFormWindow(record);
    forms_.pop_back();
    throw;
  }
  form.SetObserver(this);
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
      if (win32::TakesFocus(control->Kind()) && control->Reachable() && WindowOf(*control)) {
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
  TFormWindow* record = RecordOf(form);
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
  TFormWindow* record = RecordOf(form);
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

// ---- control windows ------------------------------------------------------

void TWin32Backend::CreateControlWindow(TFormWindow& record, size_t index) {
  TControl& control = *record.Form->Controls()[index];
  const win32::TWindowSpec spec = win32::WindowSpecOf(control);
  if (!spec.ClassName) return;
  DWORD style = spec.Style;
  if (ShownInModel(control)) style |= WS_VISIBLE;
  if (!EnabledInModel(control)) style |= WS_DISABLED;
  const std::u16string text = control.Kind() == ControlKind::Memo ? WithCrLf(control.WideText())
                              : IsComboBox(control.Kind()) || IsListBox(control.Kind())
                                  ? std::u16string()
                                  : control.WideText();
  HWND window;
  {
    TApplying applying(applying_);
    window = CreateWindowExW(spec.ExStyle, spec.ClassName, WidePtr(text), style, 0, 0, 0, 0,
                             HostOf(record, control),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                             GetModuleHandleW(nullptr), this);
  }
  if (!window)
    throw SystemError("cannot create the control " + control.Name() + " of " +
                      record.Form->ClassName());
  record.Windows[index] = window;
  controlWindows_[window] = {&record, index};
  SetWindowSubclass(window, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  if (control.Kind() == ControlKind::ComboBox && control.Editable()) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(window, &info) && info.hwndItem) {
      controlWindows_[info.hwndItem] = {&record, index};
      SetWindowSubclass(info.hwndItem, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    }
  }
  TApplying applying(applying_);
  if (HFONT font = gdi_.Font(control.ShownFont()))
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (control.Kind() == ControlKind::TreeView && checkImages_)
    TreeView_SetImageList(window, checkImages_, TVSIL_STATE);
  if (control.Kind() == ControlKind::CheckListBox) {
    // The items are as tall as the font or the check box, whichever is more.
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, gdi_.Font(control.ShownFont()));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    SendMessageW(window, LB_SETITEMHEIGHT, 0,
                 std::max<LPARAM>(metrics.tmHeight + 2, scale_.ToScreen(16)));
  }
  ApplyText(record, index);
  ApplyHint(record, index);
  ApplyItems(record, index);
  ApplyStyle(record, index);
  ApplyProgress(record, index);
  if (control.Kind() == ControlKind::CheckBox || control.Kind() == ControlKind::RadioButton)
    SendMessageW(window, BM_SETCHECK, control.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  if (control.Kind() == ControlKind::TreeView) RebuildTree(record, index);
  PlaceControls(record);
}

void TWin32Backend::RecreateControlWindow(TFormWindow& record, size_t index) {
  HWND old = record.Windows[index];
  if (!old) return;
  HWND before = GetWindow(old, GW_HWNDPREV);
  const bool focused = GetFocus() == old || IsChild(old, GetFocus());
  for (auto it = controlWindows_.begin(); it != controlWindows_.end();)
    it = it->second.Record == &record && it->second.Index == index ? controlWindows_.erase(it)
                                                                   : std::next(it);
  record.Windows[index] = nullptr;
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = GetParent(old);
  tool.uId = reinterpret_cast<UINT_PTR>(old);
  SendMessageW(record.Tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  DestroyWindow(old);
  CreateControlWindow(record, index);
  HWND window = record.Windows[index];
  SetWindowPos(window, before ? before : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (focused) SetFocus(window);
}

void TWin32Backend::PlaceControls(TFormWindow& record) {
  const auto& controls = record.Form->Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    HWND window = record.Windows[i];
    if (!window) continue;
    const TControl& control = *controls[i];
    TRect bounds = control.Bounds();
    // Group boxes hold no windows: what lies in them is placed in the
    // window that holds the group box.
    for (const TControl* parent = control.Parent(); parent && !IsHost(parent->Kind());
         parent = parent->Parent()) {
      bounds.Left += parent->Bounds().Left;
      bounds.Top += parent->Bounds().Top;
    }
    int height = scale_.ToScreen(bounds.Height);
    if (IsComboBox(control.Kind())) height += scale_.ToScreen(kComboListHeight);
    SetWindowPos(window, nullptr, scale_.ToScreen(bounds.Left), scale_.ToScreen(bounds.Top),
                 scale_.ToScreen(bounds.Width), height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TWin32Backend::Realign(TFormWindow& record) {
  if (aligning_) return;
  aligning_ = true;
  try {
    AlignControls(*record.Form);
  } catch (...) {
    aligning_ = false;
    throw;
  }
  aligning_ = false;
  PlaceControls(record);
}

void TWin32Backend::ApplyText(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  switch (control.Kind()) {
    case ControlKind::TreeView:
    case ControlKind::ProgressBar:
    case ControlKind::Image:
    case ControlKind::ListBox:
    case ControlKind::CheckListBox:
    case ControlKind::ListView:
    case ControlKind::DirectoryList:
    case ControlKind::DriveList:
      return;
    case ControlKind::ComboBox:
      if (!control.Editable()) return;
      break;
    case ControlKind::Label: {
      // The accelerator decides whether & is shown.
      const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
      const LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(SS_NOPREFIX)) |
                              (win32::HasAccelerator(control.WideText()) ? 0 : SS_NOPREFIX);
      if (wanted != style) SetWindowLongPtrW(window, GWL_STYLE, wanted);
      break;
    }
    case ControlKind::Panel:
    case ControlKind::TabSheet:
      InvalidateRect(window, nullptr, TRUE);
      break;
    default:
      break;
  }
  const std::u16string wanted =
      control.Kind() == ControlKind::Memo ? WithCrLf(control.WideText()) : control.WideText();
  if (WindowText(window) != wanted) SetWindowTextW(window, WidePtr(wanted));
}

void TWin32Backend::ApplyHint(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  if (!window || !record.Tips) return;
  const TControl& control = *record.Form->Controls()[index];
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(window);
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  SendMessageW(record.Tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (control.WideHint().empty()) return;
  std::u16string hint = control.WideHint();
  tool.lpszText = const_cast<wchar_t*>(WidePtr(hint));
  SendMessageW(record.Tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TWin32Backend::ApplyItems(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window || (!HasItems(control.Kind()) && control.Kind() != ControlKind::ListView)) return;
  const bool combo = IsComboBox(control.Kind());
  SendMessageW(window, WM_SETREDRAW, FALSE, 0);
  SendMessageW(window, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
  for (const auto& item : control.WideItems())
    SendMessageW(window, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(WidePtr(item)));
  SendMessageW(window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, TRUE);
  ApplyItemIndex(record, index);
}

void TWin32Backend::ApplyItemIndex(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  const bool combo = IsComboBox(control.Kind());
  if (!combo && !IsListBox(control.Kind())) return;
  const LRESULT shown = SendMessageW(window, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
  if (shown != control.ItemIndex())
    SendMessageW(window, combo ? CB_SETCURSEL : LB_SETCURSEL,
                 static_cast<WPARAM>(control.ItemIndex()), 0);
  // An editable combo box keeps typed text that is no item.
  if (control.Kind() == ControlKind::ComboBox && control.Editable()) ApplyText(record, index);
}

void TWin32Backend::ApplyStyle(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  const win32::TWindowSpec spec = win32::WindowSpecOf(control);
  const DWORD current = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) &
                        ~static_cast<DWORD>(WS_VISIBLE | WS_DISABLED);
  switch (control.Kind()) {
    case ControlKind::Edit:
    case ControlKind::Memo: {
      SendMessageW(window, EM_SETREADONLY, control.ReadOnly() ? TRUE : FALSE, 0);
      SendMessageW(window, EM_SETPASSWORDCHAR, control.PasswordChar(), 0);
      const DWORD fixed =
          ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL | ES_CENTER | ES_RIGHT;
      if ((current & fixed) != (spec.Style & fixed)) return RecreateControlWindow(record, index);
      InvalidateRect(window, nullptr, TRUE);
      return;
    }
    case ControlKind::Button:
      SendMessageW(window, BM_SETSTYLE, spec.Style & 0xF, TRUE);
      return;
    case ControlKind::ComboBox:
      if ((current & 0x3) != (spec.Style & 0x3)) return RecreateControlWindow(record, index);
      return;
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      if (current != spec.Style) {
        SetWindowLongPtrW(window, GWL_STYLE,
                          static_cast<LONG_PTR>(spec.Style) |
                              (GetWindowLongPtrW(window, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)));
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      }
      InvalidateRect(window, nullptr, TRUE);
      return;
    default:
      InvalidateRect(window, nullptr, TRUE);
      return;
  }
}

void TWin32Backend::ApplyStates(TFormWindow& record) {
  const auto& controls = record.Form->Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    HWND window = record.Windows[i];
    if (!window) continue;
    const bool shown = ShownInModel(*controls[i]);
    if ((IsWindowVisible(window) || (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE)) != shown)
      ShowWindow(window, shown ? SW_SHOWNA : SW_HIDE);
    const bool enabled = EnabledInModel(*controls[i]);
    if ((IsWindowEnabled(window) != FALSE) != enabled) EnableWindow(window, enabled);
  }
}

void TWin32Backend::ApplyFonts(TFormWindow& record) {
  const auto& controls = record.Form->Controls();
  for (size_t i = 0; i < controls.size(); ++i)
    if (HWND window = record.Windows[i])
      if (HFONT font = gdi_.Font(controls[i]->ShownFont()))
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TWin32Backend::ApplyProgress(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window || control.Kind() != ControlKind::ProgressBar) return;
  SendMessageW(window, PBM_SETRANGE32, static_cast<WPARAM>(control.Min()), control.Max());
  SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(control.Position()), 0);
}

void TWin32Backend::ApplySelection(TFormWindow& record, size_t index) {
  HWND window = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!window) return;
  const auto start = static_cast<int>(control.SelStart());
  const auto end = static_cast<int>(control.SelStart() + control.SelLength());
  if (control.Kind() == ControlKind::Edit || control.Kind() == ControlKind::Memo)
    SendMessageW(window, EM_SETSEL, static_cast<WPARAM>(start), end);
  else if (control.Kind() == ControlKind::ComboBox && control.Editable())
    SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
}

// ---- tree views -----------------------------------------------------------

void TWin32Backend::UpdateTreeItem(HWND tree, const TTreeNode& node, HTREEITEM item) {
  TVITEMW shown{};
  wchar_t text[512] = {};
  shown.mask = TVIF_HANDLE | TVIF_STATE | TVIF_TEXT;
  shown.hItem = item;
  shown.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
  shown.pszText = text;
  shown.cchTextMax = 512;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&shown));
  const UINT state = INDEXTOSTATEIMAGEMASK(win32::StateImageOf(node.ImageIndex()));
  if (node.WideText() != FromWide(text, wcslen(text)) ||
      (shown.state & TVIS_STATEIMAGEMASK) != state) {
    TVITEMW changed{};
    changed.mask = TVIF_HANDLE | TVIF_STATE | TVIF_TEXT;
    changed.hItem = item;
    changed.stateMask = TVIS_STATEIMAGEMASK;
    changed.state = state;
    std::u16string caption = node.WideText();
    changed.pszText = const_cast<wchar_t*>(WidePtr(caption));
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&changed));
  }
  const bool expanded = (shown.state & TVIS_EXPANDED) != 0;
  if (expanded != node.Expanded() && !node.Children().empty())
    TreeView_Expand(tree, item, node.Expanded() ? TVE_EXPAND : TVE_COLLAPSE);
}

void TWin32Backend::RebuildTree(TFormWindow& record, size_t index) {
  HWND tree = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!tree) return;
  auto& shown = record.ShownNodes[&control];
  for (const TTreeNode* node : shown)
    record.Items.erase(node);
  shown.clear();
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(tree);
  const std::vector<TTreeNode*> nodes = control.AllNodes();
  // Parents come before their children in this order.
  for (TTreeNode* node : nodes) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = node->Parent() ? record.Items[node->Parent()] : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_PARAM;
    std::u16string caption = node->WideText();
    insert.item.pszText = const_cast<wchar_t*>(WidePtr(caption));
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.state = INDEXTOSTATEIMAGEMASK(win32::StateImageOf(node->ImageIndex()));
    insert.item.lParam = reinterpret_cast<LPARAM>(node);
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    record.Items[node] = item;
    shown.push_back(node);
  }
  for (TTreeNode* node : nodes)
    if (node->Expanded() && !node->Children().empty())
      TreeView_Expand(tree, record.Items[node], TVE_EXPAND);
  TTreeNode* selected = control.SelectedNode();
  TreeView_SelectItem(tree, selected ? record.Items[selected] : nullptr);
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
}

void TWin32Backend::SyncTree(TFormWindow& record, size_t index) {
  HWND tree = record.Windows[index];
  const TControl& control = *record.Form->Controls()[index];
  if (!tree) return;
  const std::vector<TTreeNode*> nodes = control.AllNodes();
  const auto& shown = record.ShownNodes[&control];
  if (!std::equal(nodes.begin(), nodes.end(), shown.begin(), shown.end()))
    return RebuildTree(record, index);
  for (TTreeNode* node : nodes)
    UpdateTreeItem(tree, *node, record.Items[node]);
  TTreeNode* selected = control.SelectedNode();
  HTREEITEM wanted = selected ? record.Items[selected] : nullptr;
  if (TreeView_GetSelection(tree) != wanted) TreeView_SelectItem(tree, wanted);
}

// ---- model changes ---------------------------------------------------------

void TWin32Backend::Changed(TForm& form, TControl* control, TTreeNode* node, TChange change) {
  TFormWindow* record = RecordOf(form);
  if (!record || !record->Window) return;
  TApplying applying(applying_);
  if (!control) return FormChanged(*record, change);
  const size_t index = IndexOf(*record, *control);
  if (index >= record->Windows.size()) return;
  ControlChanged(*record, index, node, change);
}

void TWin32Backend::FormChanged(TFormWindow& record, TChange change) {
  TForm& form = *record.Form;
  switch (change) {
    case TChange::Caption:
      SetWindowTextW(record.Window, WidePtr(form.WideCaption()));
      return;
    case TChange::Font:
      ApplyFonts(record);
      return;
    case TChange::ClientSize:
    case TChange::Style:
      ApplyFrame(record);
      Realign(record);
      return;
    case TChange::Color:
      RedrawWindow(record.Window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
      return;
    case TChange::Bounds:
      Center(record);
      return;
    case TChange::Visible:
      if (form.Visible() != (IsWindowVisible(record.Window) != FALSE))
        ShowWindow(record.Window, form.Visible() ? SW_SHOW : SW_HIDE);
      return;
    case TChange::ModalResult:
      // Wakes the modal loop when the result was set outside a message.
      PostMessageW(record.Window, WM_NULL, 0, 0);
      return;
    default:
      return;
  }
}

void TWin32Backend::ControlChanged(TFormWindow& record, size_t index, TTreeNode* node,
                                   TChange change) {
  HWND window = record.Windows[index];
  TControl& control = *record.Form->Controls()[index];
  switch (change) {
    case TChange::Text:
      ApplyText(record, index);
      return;
    case TChange::Hint:
      ApplyHint(record, index);
      return;
    case TChange::Items:
      ApplyItems(record, index);
      return;
    case TChange::ItemIndex:
      ApplyItemIndex(record, index);
      return;
    case TChange::ItemStates:
    case TChange::Color:
      if (window)
        RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
      return;
    case TChange::Bounds:
    case TChange::Align:
      Realign(record);
      return;
    case TChange::Visible:
      Realign(record);
      ApplyStates(record);
      return;
    case TChange::Enabled:
      ApplyStates(record);
      return;
    case TChange::Checked:
      if (window &&
          (control.Kind() == ControlKind::CheckBox || control.Kind() == ControlKind::RadioButton)) {
        const WPARAM wanted = control.Checked() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(window, BM_GETCHECK, 0, 0)) != wanted)
          SendMessageW(window, BM_SETCHECK, wanted, 0);
      }
      return;
    case TChange::Font:
      ApplyFonts(record);
      return;
    case TChange::Style:
      ApplyStyle(record, index);
      return;
    case TChange::Progress:
      ApplyProgress(record, index);
      return;
    case TChange::Selection:
      ApplySelection(record, index);
      return;
    case TChange::Focus:
      if (window && record.Form->Visible() && GetFocus() != window && !IsChild(window, GetFocus()))
        SetFocus(window);
      return;
    case TChange::Nodes:
      SyncTree(record, index);
      return;
    case TChange::Node:
      if (node && window) {
        auto item = record.Items.find(node);
        if (item == record.Items.end())
          SyncTree(record, index);
        else
          UpdateTreeItem(window, *node, item->second);
      }
      return;
    default:
      return;
  }
}

// ---- user actions ---------------------------------------------------------

void TWin32Backend::Click(TControl& control) {
  if (!control.Reachable()) return;
  TForm& form = control.Form();
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      control.SetChecked(!control.Checked());
      break;
    case ControlKind::RadioButton:
      // Clicking the chosen radio button changes nothing.
      if (control.Checked()) return;
      control.SetChecked(true);
      break;
    case ControlKind::GroupBox:
    case ControlKind::Panel:
      return;
    default:
      break;
  }
  if (control.OnClick) Dispatch([&] { control.OnClick(control); });
  if (control.Kind() == ControlKind::Button && control.ModalResult() != TModalResult::None &&
      form.Modal())
    form.SetModalResult(control.ModalResult());
}

void TWin32Backend::ToggleItem(TControl& list, int index) {
  if (index < 0 || static_cast<size_t>(index) >= list.ItemCount() || !list.Reachable()) return;
  const size_t item = static_cast<size_t>(index);
  if (!list.ItemEnabled(item)) return;
  list.SetItemIndex(index);
  list.SetItemChecked(item, !list.ItemChecked(item));
  if (list.OnClick) Dispatch([&] { list.OnClick(list); });
}

void TWin32Backend::TreeClick(TControl& tree, HWND window, POINT point) {
  TVHITTESTINFO hit{};
  hit.pt = point;
  TreeView_HitTest(window, &hit);
  TTreeNode* node = nullptr;
  if (hit.hItem && (hit.flags & TVHT_ONITEM)) {
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_PARAM;
    item.hItem = hit.hItem;
    if (SendMessageW(window, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
      auto* candidate = reinterpret_cast<TTreeNode*>(item.lParam);
      if (tree.PositionOf(candidate) >= 0) node = candidate;
    }
  }
  tree.SetFocus();
  if (node) tree.SelectNode(node);
  const TNodeClick click{node, scale_.ToModel(point.x), scale_.ToModel(point.y)};
  if (tree.OnNodeClick) Dispatch([&] { tree.OnNodeClick(tree, click); });
  if (tree.OnClick) Dispatch([&] { tree.OnClick(tree); });
}

TControl* TWin32Backend::FindButton(TForm& form, bool cancel) const {
  for (const auto& control : form.Controls())
    if (control->Kind() == ControlKind::Button &&
        (cancel ? control->Cancel() : control->Default()) && control->Reachable())
      return control.get();
  return nullptr;
}

bool TWin32Backend::PreviewKey(TForm& form, TControl* control, char16_t& key) {
  // Without a focused control the form's own handler is the only one.
  if ((form.KeyPreview() || !control) && form.OnKeyPress)
    Dispatch([&] { form.OnKeyPress(form, key); });
  if (key != 0 && control && control->OnKeyPress)
    Dispatch([&] { control->OnKeyPress(*control, key); });
  return key != 0;
}

bool TWin32Backend::KeyAction(TFormWindow& record, TControl* control, HWND window, char16_t key) {
  TForm& form = *record.Form;
  switch (key) {
    case kKeyEnter:
      if (control && control->Kind() == ControlKind::Memo && !control->ReadOnly()) return false;
      if (control && control->Kind() == ControlKind::Button)
        Click(*control);
      else if (TControl* button = FindButton(form, false))
        Click(*button);
      return true;
    case kKeyEscape:
      if (control && IsComboBox(control->Kind()) && window &&
          SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0))
        return false;
      if (TControl* button = FindButton(form, true)) Click(*button);
      return true;
    case kKeyTab:
      return true;
    case kKeySpace:
      if (!control) return true;
      switch (control->Kind()) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
          Click(*control);
          return true;
        case ControlKind::CheckListBox:
          ToggleItem(*control, control->ItemIndex());
          return true;
        default:
          return false;
      }
    default:
      return !control;
  }
}

void TWin32Backend::MoveFocus(TFormWindow& record, TControl* from, bool forward) {
  const auto& controls = record.Form->Controls();
  const size_t count = controls.size();
  if (count == 0) return;
  size_t start = from ? IndexOf(record, *from) : (forward ? count - 1 : 0);
  if (start >= count) start = forward ? count - 1 : 0;
  for (size_t step = 1; step <= count; ++step) {
    const size_t i = forward ? (start + step) % count : (start + count - step % count) % count;
    const TControl& candidate = *controls[i];
    if (win32::TakesFocus(candidate.Kind()) && candidate.Reachable() && record.Windows[i]) {
      SetFocus(record.Windows[i]);
      return;
    }
  }
}

void TWin32Backend::CloseBox(TFormWindow& record) {
  TForm& form = *record.Form;
  if (form.Modal()) {
    // The modal loop asks the close query.
    form.SetModalResult(TModalResult::Cancel);
    return;
  }
  bool canClose = true;
  if (form.OnCloseQuery) Dispatch([&] { form.OnCloseQuery(form, canClose); });
  if (!canClose) return;
  form.SetVisible(false);
  if (form.OnClose) Dispatch([&] { form.OnClose(form); });
  const auto& forms = Application().Forms();
  if (!forms.empty() && forms.front().get() == &form) PostQuitMessage(0);
}

bool TWin32Backend::Mnemonic(TFormWindow& record, char16_t key) {
  auto upper = [](char16_t c) {
    return static_cast<char16_t>(
        reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(c)))));
  };
  const auto& controls = record.Form->Controls();
  auto nextFocusable = [&](size_t after) -> TControl* {
    for (size_t i = after + 1; i < controls.size(); ++i)
      if (win32::TakesFocus(controls[i]->Kind()) && controls[i]->Reachable() && record.Windows[i])
        return controls[i].get();
    return nullptr;
  };
  for (size_t i = 0; i < controls.size(); ++i) {
    TControl& control = *controls[i];
    const ControlKind kind = control.Kind();
    if (kind != ControlKind::Button && kind != ControlKind::CheckBox &&
        kind != ControlKind::RadioButton && kind != ControlKind::Label &&
        kind != ControlKind::GroupBox)
      continue;
    if (!control.Reachable()) continue;
    const std::u16string& caption = control.WideText();
    char16_t marked = 0;
    for (size_t j = 0; j + 1 < caption.size(); ++j) {
      if (caption[j] != u'&') continue;
      if (caption[j + 1] == u'&') {
        ++j;
        continue;
      }
      marked = caption[j + 1];
      break;
    }
    if (marked == 0 || marked == u' ' || upper(marked) != upper(key)) continue;
    TControl* focus = nullptr;
    switch (kind) {
      case ControlKind::Button:
        Click(control);
        return true;
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        SetFocus(record.Windows[i]);
        Click(control);
        return true;
      default:
        // A label or group box hands the focus on: to its linked control, or
        // to the next one in the tab order.
        focus =
            control.Linked() && control.Linked()->Reachable() ? control.Linked() : nextFocusable(i);
        if (HWND window = focus ? WindowOf(*focus) : nullptr) SetFocus(window);
        return true;
    }
  }
  return false;
}

// ---- window procedures ----------------------------------------------------

void TWin32Backend::Command(TControlRef ref, HWND window, UINT code) {
  TControl& control = *ref.Record->Form->Controls()[ref.Index];
  const ControlKind kind = control.Kind();
  if (applying_ > 0) return;
  switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::Label:
      if (code == BN_CLICKED) Click(control);
      return;
    case ControlKind::Edit:
    case ControlKind::Memo:
      if (code == EN_CHANGE) {
        const std::u16string text = WindowText(window);
        if (text != control.WideText()) control.SetWideText(text);
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        control.SetSelection(start, end - start);
        if (control.OnChange) Dispatch([&] { control.OnChange(control); });
      }
      return;
    case ControlKind::ComboBox:
    case ControlKind::DriveList:
      if (code == CBN_EDITCHANGE) {
        const std::u16string text = WindowText(window);
        if (text != control.WideText()) control.SetWideText(text);
        if (control.OnChange) Dispatch([&] { control.OnChange(control); });
      } else if (code == CBN_SELCHANGE) {
        control.SetItemIndex(static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0)));
        if (control.OnChange) Dispatch([&] { control.OnChange(control); });
        if (kind == ControlKind::ComboBox && control.OnClick)
          Dispatch([&] { control.OnClick(control); });
      }
      return;
    case ControlKind::ListBox:
    case ControlKind::CheckListBox:
    case ControlKind::ListView:
    case ControlKind::DirectoryList:
      if (code == LBN_SELCHANGE) {
        control.SetItemIndex(static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0)));
        if (pendingToggle_ >= 0) return;  // the toggle that follows reports the click
        if (kind == ControlKind::DirectoryList) {
          if (control.OnChange) Dispatch([&] { control.OnChange(control); });
        } else if (control.OnClick) {
          Dispatch([&] { control.OnClick(control); });
        }
      } else if (code == LBN_DBLCLK && control.OnDblClick) {
        Dispatch([&] { control.OnDblClick(control); });
      }
      return;
    default:
      return;
  }
}

LRESULT TWin32Backend::Notify(TControlRef ref, const NMHDR& header) {
  TControl& control = *ref.Record->Form->Controls()[ref.Index];
  if (control.Kind() != ControlKind::TreeView || applying_ > 0) return 0;
  switch (header.code) {
    case NM_CLICK:
      TreeClick(control, header.hwndFrom, ref.Record->LastTreePoint);
      return 0;
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      auto* node = reinterpret_cast<TTreeNode*>(change.itemNew.lParam);
      if (change.itemNew.hItem && control.PositionOf(node) >= 0 && control.SelectedNode() != node)
        control.SelectNode(node);
      return 0;
    }
    case TVN_ITEMEXPANDEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      auto* node = reinterpret_cast<TTreeNode*>(change.itemNew.lParam);
      const bool expanded = (change.action & TVE_EXPAND) != 0;
      if (control.PositionOf(node) >= 0 && node->Expanded() != expanded)
        node->SetExpanded(expanded);
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT TWin32Backend::ControlColor(HWND host, HDC dc, HWND window, UINT message) {
  const TControlRef* ref = RefOf(window);
  if (!ref)
    return DefWindowProcW(host, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(window));
  const TControl& control = *ref->Record->Form->Controls()[ref->Index];
  const TFont font = control.ShownFont();
  switch (control.Kind()) {
    case ControlKind::Label:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
    case ControlKind::GroupBox: {
      const COLORREF background = BackgroundOf(control);
      SetTextColor(dc, win32::ResolveColor(font.Color, GetSysColor(COLOR_WINDOWTEXT)));
      SetBkColor(dc, background);
      return reinterpret_cast<LRESULT>(gdi_.Brush(background));
    }
    default:
      break;
  }
  const LRESULT standard =
      DefWindowProcW(host, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
  if (font.Color != kColorDefault) SetTextColor(dc, win32::ResolveColor(font.Color, 0));
  if (control.Color() != kColorDefault) {
    const COLORREF background = win32::ResolveColor(control.Color(), 0);
    SetBkColor(dc, background);
    return reinterpret_cast<LRESULT>(gdi_.Brush(background));
  }
  return standard;
}

void TWin32Backend::DrawCheckListItem(const DRAWITEMSTRUCT& draw) {
  const TControlRef* ref = RefOf(draw.hwndItem);
  if (!ref || draw.itemID == static_cast<UINT>(-1)) return;
  const TControl& list = *ref->Record->Form->Controls()[ref->Index];
  const size_t item = draw.itemID;
  if (item >= list.ItemCount()) return;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const bool enabled = list.ItemEnabled(item) && IsWindowEnabled(draw.hwndItem);
  HDC dc = draw.hDC;
  RECT area = draw.rcItem;
  FillRect(dc, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int box = std::min<int>(area.bottom - area.top - 2, scale_.ToScreen(13));
  RECT check{area.left + 2, area.top + (area.bottom - area.top - box) / 2, area.left + 2 + box,
             area.top + (area.bottom - area.top - box) / 2 + box};
  DrawFrameControl(dc, &check, DFC_BUTTON,
                   DFCS_BUTTONCHECK | (list.ItemChecked(item) ? DFCS_CHECKED : 0) |
                       (enabled ? 0 : DFCS_INACTIVE));
  RECT text = area;
  text.left = check.right + scale_.ToScreen(4);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                               : selected ? COLOR_HIGHLIGHTTEXT
                                          : COLOR_WINDOWTEXT));
  const std::u16string& caption = list.WideItems()[item];
  DrawTextW(dc, WidePtr(caption), static_cast<int>(caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &area);
}

bool TWin32Backend::SetCursorFor(HWND window) {
  if (waitCursor_) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    return true;
  }
  const TControlRef* ref = RefOf(window);
  if (ref && ref->Record->Form->Controls()[ref->Index]->Cursor() == TCursor::Hand) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
    return true;
  }
  return false;
}

bool TWin32Backend::HostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (lParam)
        if (const TControlRef* ref = RefOf(reinterpret_cast<HWND>(lParam))) {
          Command(*ref, reinterpret_cast<HWND>(lParam), HIWORD(wParam));
          result = 0;
          return true;
        }
      return false;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (const TControlRef* ref = header ? RefOf(header->hwndFrom) : nullptr) {
        result = Notify(*ref, *header);
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      result = ControlColor(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                            message);
      return true;
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_LISTBOX) return false;
      measure->itemHeight = static_cast<UINT>(scale_.ToScreen(16));
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlType != ODT_LISTBOX) return false;
      DrawCheckListItem(*draw);
      result = TRUE;
      return true;
    }
    case WM_SETCURSOR:
      if (SetCursorFor(reinterpret_cast<HWND>(wParam))) {
        result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}

LRESULT TWin32Backend::FormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HostMessage(window, message, wParam, lParam, result)) return result;
  TFormWindow* record = RecordOfWindow(window);
  if (!record) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      CloseBox(*record);
      return 0;
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area,
               gdi_.Brush(win32::ResolveColor(record->Form->Color(), GetSysColor(COLOR_BTNFACE))));
      return 1;
    }
    case WM_CHAR: {
      char16_t key = KeyOf(wParam);
      if (PreviewKey(*record->Form, nullptr, key)) KeyAction(*record, nullptr, nullptr, key);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_TAB) {
        MoveFocus(*record, nullptr, GetKeyState(VK_SHIFT) >= 0);
        return 0;
      }
      break;
    case WM_SYSCHAR:
      if (Mnemonic(*record, KeyOf(wParam))) return 0;
      break;
    case WM_ACTIVATE:
      // Back to the control that had the focus, not the window itself.
      if (LOWORD(wParam) != WA_INACTIVE && record->Form->Visible()) {
        FocusFirst(*record);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void TWin32Backend::PaintPanel(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const TControlRef* ref = RefOf(window);
  if (ref) {
    const TControl& panel = *ref->Record->Form->Controls()[ref->Index];
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, gdi_.Brush(BackgroundOf(panel)));
    if (!panel.WideText().empty()) {
      const TFont font = panel.ShownFont();
      HGDIOBJ old = SelectObject(dc, gdi_.Font(font));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, win32::ResolveColor(font.Color, GetSysColor(COLOR_WINDOWTEXT)));
      DrawTextW(dc, WidePtr(panel.WideText()), static_cast<int>(panel.WideText().size()), &area,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      SelectObject(dc, old);
    }
  }
  EndPaint(window, &paint);
}

void TWin32Backend::PaintImage(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const TControlRef* ref = RefOf(window);
  if (ref) {
    const TControl& image = *ref->Record->Form->Controls()[ref->Index];
    RECT area;
    GetClientRect(window, &area);
    if (!win32::DrawPicture(dc, area, image.Picture()))
      FillRect(dc, &area, gdi_.Brush(BackgroundOf(image)));
  }
  EndPaint(window, &paint);
}

LRESULT TWin32Backend::ControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const TControlRef* found = RefOf(window);
  if (!found) return DefSubclassProc(window, message, wParam, lParam);
  const TControlRef ref = *found;
  TFormWindow& record = *ref.Record;
  TControl& control = *record.Form->Controls()[ref.Index];
  HWND own = record.Windows[ref.Index];
  switch (message) {
    case WM_SETFOCUS:
      // Also while the model is copied in: showing a window moves the focus.
      if (record.Form->ActiveControl() != &control) control.SetFocus();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam == VK_TAB) {
        if (message == WM_KEYDOWN) MoveFocus(record, &control, GetKeyState(VK_SHIFT) >= 0);
        return 0;
      }
      // Space and Enter act on WM_CHAR, after the key preview.
      if ((wParam == VK_SPACE || wParam == VK_RETURN) &&
          (control.Kind() == ControlKind::Button || control.Kind() == ControlKind::CheckBox ||
           control.Kind() == ControlKind::RadioButton))
        return 0;
      break;
    case WM_SYSCHAR:
      if (Mnemonic(record, KeyOf(wParam))) return 0;
      break;
    case WM_CHAR: {
      char16_t key = KeyOf(wParam);
      if (!PreviewKey(*record.Form, &control, key)) return 0;
      if (!RefOf(window)) return 0;  // a handler recreated or destroyed it
      if (!control.Reachable()) return 0;
      if (KeyAction(record, &control, own, key)) return 0;
      return DefSubclassProc(window, message, key, lParam);
    }
    case WM_LBUTTONDOWN:
      if (control.Kind() == ControlKind::TreeView) {
        record.LastTreePoint =
            POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      } else if (control.Kind() == ControlKind::CheckListBox) {
        const LRESULT hit = SendMessageW(window, LB_ITEMFROMPOINT, 0, lParam);
        const int x = static_cast<short>(LOWORD(lParam));
        const int item = LOWORD(hit);
        const bool onCheck = HIWORD(hit) == 0 && x < scale_.ToScreen(17);
        // The list reports its selection on the button's release, so the
        // toggle waits for that too and reports the one click.
        pendingToggle_ = onCheck ? item : -1;
      }
      break;
    case WM_LBUTTONUP:
      if (control.Kind() == ControlKind::CheckListBox) {
        const LRESULT standard = DefSubclassProc(window, message, wParam, lParam);
        const int item = pendingToggle_;
        pendingToggle_ = -1;
        if (item >= 0) ToggleItem(control, item);
        return standard;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, ControlProc, kSubclassId);
      controlWindows_.erase(window);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32Backend::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TWin32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->FormMessage(window, message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's frames.
    self->Keep(std::current_exception());
    return 0;
  }
}

LRESULT CALLBACK TWin32Backend::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TWin32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    LRESULT result = 0;
    if (self->HostMessage(window, message, wParam, lParam, result)) return result;
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        self->PaintPanel(window);
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  } catch (...) {
    self->Keep(std::current_exception());
    return 0;
  }
}

LRESULT CALLBACK TWin32Backend::ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TWin32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  try {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        self->PaintImage(window);
        return 0;
      case WM_SETCURSOR:
        if (self->SetCursorFor(window)) return TRUE;
        break;
      case WM_LBUTTONUP:
        if (const TControlRef* ref = self->RefOf(window)) {
          TControl& image = *ref->Record->Form->Controls()[ref->Index];
          if (image.OnClick && image.Reachable()) self->Dispatch([&] { image.OnClick(image); });
        }
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  } catch (...) {
    self->Keep(std::current_exception());
    return 0;
  }
}

LRESULT CALLBACK TWin32Backend::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<TWin32Backend*>(data);
  try {
    return self->ControlMessage(window, message, wParam, lParam);
  } catch (...) {
    self->Keep(std::current_exception());
    return 0;
  }
}

}  // namespace ui
