// The suite's five server programs, by server index: how each is known to
// the service control manager and, when it runs as a desktop program, by
// its main window.
#pragma once

#include <array>
#include <string>

inline constexpr int kServerCount = 5;
inline constexpr int kSmtpServer = 0;
inline constexpr int kPop3Server = 1;
inline constexpr int kControlServer = 2;
inline constexpr int kImServer = 3;
inline constexpr int kGroupWareServer = 4;

struct TServerRow {
  const char* ServiceName;
  const char* Executable;
  const char* DisplayName;
  const char* Description;
  const char* WindowClass;
  const char* WindowTitle;
};

// Index 0..4; throws std::out_of_range beyond.
const TServerRow& ServerRow(int index);

// Servers run as services on the NT family, as desktop programs elsewhere.
bool ServiceMode();
