// The backend that shows the model as real windows: a top-level window per
// form, a Win32 control per control, kept in step with every model change;
// what the user does reaches the model first and then the event slots.
#pragma once

#include <exception>
#include <memory>
#include <unordered_map>
#include <vector>

#include "ui/backend.h"
#include "ui/model_observer.h"
#include "ui/win32/gdi_cache.h"
#include "ui/win32/scale.h"
#include "ui/win32/win32_api.h"

namespace ui {

class TWin32Backend final : public TBackend, public TModelObserver {
 public:
  // dpi 0 takes the screen's. Registers the window classes, loads the
  // common controls and installs itself while it lives. Throws
  // std::runtime_error when the window classes cannot be registered.
  explicit TWin32Backend(int dpi = 0);
  ~TWin32Backend() override;
  TWin32Backend(const TWin32Backend&) = delete;
  TWin32Backend& operator=(const TWin32Backend&) = delete;

  // Throws std::runtime_error when a window cannot be made (no display).
  void CreateForm(TForm& form) override;
  void ShowForm(TForm& form) override;
  void HideForm(TForm& form) override;
  TModalResult ShowModal(TForm& form) override;
  // Throws std::runtime_error when the box cannot be shown.
  TModalResult ShowMessageBox(const TMessageBoxRequest& request) override;
  void ProcessMessages() override;
  void SetWaitCursor(bool wait) override;
  // Runs until WM_QUIT, which closing the application's first form posts.
  void Run() override;

  void Changed(TForm& form, TControl* control, TTreeNode* node, TChange change) override;
  void FormDestroyed(TForm& form) override;

  int Dpi() const { return scale_.Dpi(); }
  // The windows made for the model; nullptr when there is none.
  HWND WindowOf(const TForm& form) const;
  HWND WindowOf(const TControl& control) const;
  HTREEITEM ItemOf(const TTreeNode& node) const;

 private:
  struct TFormWindow;
  struct TControlRef {
    TFormWindow* Record;
    size_t Index;
  };

  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ImageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);

  // Window messages.
  using TMessageHandler = LRESULT (TWin32Backend::*)(HWND, UINT, WPARAM, LPARAM);
  static LRESULT RouteToBackend(TMessageHandler handler, HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam);
  LRESULT Guarded(TMessageHandler handler, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool HostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  LRESULT FormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT PanelMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ImageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ControlMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Command(TControlRef ref, HWND window, UINT code);
  LRESULT Notify(TControlRef ref, const NMHDR& header);
  LRESULT ControlColor(HWND host, HDC dc, HWND window, UINT message);
  void DrawCheckListItem(const DRAWITEMSTRUCT& draw);
  void PaintPanel(HWND window);
  void PaintImage(HWND window);
  bool SetCursorFor(HWND window);

  // The user's actions.
  void Click(TControl& control);
  bool PreviewKey(TForm& form, TControl* control, char16_t& key);
  // Returns true when the key was handled; false passes it to the control.
  bool KeyAction(TFormWindow& record, TControl* control, HWND window, char16_t key);
  void ToggleItem(TControl& list, int index);
  void TreeClick(TControl& tree, HWND window, POINT point);
  void MoveFocus(TFormWindow& record, TControl* from, bool forward);
  void CloseBox(TFormWindow& record);
  // Alt and a letter: acts on the control whose caption marks that letter.
  bool Mnemonic(TFormWindow& record, char16_t key);
  TControl* FindButton(TForm& form, bool cancel) const;

  // Model to windows.
  void CreateControlWindow(TFormWindow& record, size_t index);
  void RecreateControlWindow(TFormWindow& record, size_t index);
  void DestroyFormWindow(TFormWindow& record);
  void FormChanged(TFormWindow& record, TChange change);
  void ControlChanged(TFormWindow& record, size_t index, TTreeNode* node, TChange change);
  void ApplyFrame(TFormWindow& record);
  void ApplyText(TFormWindow& record, size_t index);
  void ApplyHint(TFormWindow& record, size_t index);
  void ApplyItems(TFormWindow& record, size_t index);
  void ApplyItemIndex(TFormWindow& record, size_t index);
  void ApplyStyle(TFormWindow& record, size_t index);
  void ApplyStates(TFormWindow& record);
  void ApplyFonts(TFormWindow& record);
  void ApplyProgress(TFormWindow& record, size_t index);
  void ApplySelection(TFormWindow& record, size_t index);
  void SyncTree(TFormWindow& record, size_t index);
  void RebuildTree(TFormWindow& record, size_t index);
  void UpdateTreeItem(HWND tree, const TTreeNode& node, HTREEITEM item);
  void Realign(TFormWindow& record);
  void PlaceControl(TFormWindow& record, size_t index);
  void PlaceControls(TFormWindow& record);
  void Center(TFormWindow& record);
  void FocusFirst(TFormWindow& record);

  // A form's windows are made when it is first shown or asked for, so that
  // start-up pays only for the windows it shows.
  TFormWindow* Realize(const TForm& form) const;
  void Build(TForm& form);

  // Lookups.
  TFormWindow* RecordOf(const TForm& form) const;
  TFormWindow* RecordOfWindow(HWND window) const;
  const TControlRef* RefOf(HWND window) const;
  size_t IndexOf(const TFormWindow& record, const TControl& control) const;
  HWND HostOf(const TFormWindow& record, const TControl& control) const;
  COLORREF BackgroundOf(const TControl& control) const;
  HWND FrontWindow() const;

  // Slots run guarded: what escapes goes to Application().HandleException,
  // and what that lets through leaves at the next message loop.
  template <class Handler>
  void Dispatch(Handler&& handler);
  void Keep(std::exception_ptr exception);
  void RethrowPending();
  void Pump(const MSG& message);

  TBackend* previous_ = nullptr;
  win32::TScale scale_;
  win32::TGdiCache gdi_;
  HIMAGELIST checkImages_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::vector<std::unique_ptr<TFormWindow>> forms_;
  // Forms created in the model whose windows are not made yet.
  std::vector<TForm*> unbuilt_;
  std::unordered_map<HWND, TFormWindow*> formWindows_;
  std::unordered_map<HWND, TControlRef> controlWindows_;
  std::vector<TForm*> modals_;
  std::vector<TForm*> shown_;
  std::exception_ptr pending_;
  int applying_ = 0;  // > 0 while the model is copied into windows
  bool aligning_ = false;
  bool waitCursor_ = false;
  int pendingToggle_ = -1;  // the item whose check box the mouse pressed
};

}  // namespace ui
