// Which window class and styles show a control of each kind.
#pragma once

#include <string>

#include "ui/control.h"
#include "ui/win32/win32_api.h"

namespace ui::win32 {

// Window classes of our own.
constexpr const wchar_t* kFormClass = L"TolvaSetupForm";
constexpr const wchar_t* kPanelClass = L"TolvaSetupPanel";
constexpr const wchar_t* kImageClass = L"TolvaSetupImage";

struct TWindowSpec {
  const wchar_t* ClassName = nullptr;  // nullptr: the kind has no window
  DWORD Style = 0;                     // without WS_VISIBLE and WS_DISABLED
  DWORD ExStyle = 0;
};

TWindowSpec WindowSpecOf(const TControl& control);

// Whether a caption marks an accelerator ("&Next"); "&&" is a plain "&".
bool HasAccelerator(const std::u16string& caption);

}  // namespace ui::win32
