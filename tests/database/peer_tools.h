// Helpers for the tests against real database clients: run a command line
// tool and read what it printed.
#pragma once

#include <cstdio>
#include <string>

// Runs a shell command; returns its standard output, and its exit status
// through `status`.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    output.append(buffer, got);
  const int result = pclose(pipe);
  if (status) *status = result;
  return output;
}

// The text with a single-quoted shell word around it.
inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}
