// The distribution settings "info.xml": a document whose first top-level
// element has one child per setting (LANGUAGE, FOOTERVALUE, INTERFACEMODE,
// MODULEDOWNLOAD). Absent settings leave the state as it was.
#pragma once

#include <string>

#include "app/installer_state.h"

inline constexpr const char* kInfoFileName = "info.xml";

// Remembers path as the file read last, then applies the settings it holds.
// A missing or unreadable file changes nothing else.
void ReadInstallerInfo(TInstallerState& state, const std::string& path);
