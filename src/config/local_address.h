// The address of the local server for the installer's own web calls.
#pragma once

#include <string>

// The first entry of the settings' bind-address list (text before the first
// `;`, trimmed), or "localhost" when that is empty.
std::string LocalServerAddress();
