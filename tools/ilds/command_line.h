// The tool's command line: options before the positional arguments.
#pragma once

#include <map>
#include <string>
#include <vector>

// Exit code of a command line that cannot be used.
constexpr int kUsageExit = 64;

struct TCommandLine {
  std::map<std::string, std::string> Values;  // --name VALUE
  std::vector<std::string> Flags;             // --name
  std::vector<std::string> Positional;
  bool Help = false;

  bool HasFlag(const std::string& name) const;
  std::string Value(const std::string& name) const;
  bool HasValue(const std::string& name) const { return Values.count(name) != 0; }
};

// Parses arguments against the option names the command knows. An unknown
// option or a value option at the end yields false and a message in error.
bool ParseCommandLine(const std::vector<std::string>& arguments,
                      const std::vector<std::string>& valueOptions,
                      const std::vector<std::string>& flagOptions, TCommandLine& result,
                      std::string& error);

int UsageError(const std::string& command, const std::string& message);
