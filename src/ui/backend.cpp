#include "ui/backend.h"

#include <atomic>
#include <stdexcept>

#include "platform/clock.h"

namespace ui {
namespace {

std::atomic<TBackend*> installedBackend{nullptr};

}  // namespace

TBackend& CurrentBackend() {
  TBackend* backend = installedBackend.load();
  if (!backend) throw std::logic_error("no user-interface backend is installed");
  return *backend;
}

TBackend* InstalledBackend() {
  return installedBackend.load();
}

TBackend* InstallBackend(TBackend* backend) {
  TBackend* previous = installedBackend.exchange(backend);
  if (backend)
    platform::SetMessagePump([] {
      if (TBackend* current = installedBackend.load()) current->ProcessMessages();
    });
  else
    platform::SetMessagePump(nullptr);
  return previous;
}

void ShowForm(TForm& form) {
  CurrentBackend().ShowForm(form);
}

TModalResult ShowModal(TForm& form) {
  return CurrentBackend().ShowModal(form);
}

TModalResult ShowMessageBox(const std::string& text, const std::string& caption,
                            TMessageButtons buttons, TMessageIcon icon) {
  TMessageBoxRequest request;
  request.Caption = caption;
  request.Text = text;
  request.Buttons = buttons;
  request.Icon = icon;
  return CurrentBackend().ShowMessageBox(request);
}

void ProcessMessages() {
  CurrentBackend().ProcessMessages();
}

TWaitCursor::TWaitCursor() {
  CurrentBackend().SetWaitCursor(true);
}

TWaitCursor::~TWaitCursor() {
  if (TBackend* backend = installedBackend.load()) backend->SetWaitCursor(false);
}

}  // namespace ui
