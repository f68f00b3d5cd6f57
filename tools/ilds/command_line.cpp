#include "command_line.h"

#include <algorithm>
#include <cstdio>

namespace {
bool Contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}
}  // namespace

bool TCommandLine::HasFlag(const std::string& name) const {
  return Contains(Flags, name);
}

std::string TCommandLine::Value(const std::string& name) const {
  auto found = Values.find(name);
  return found == Values.end() ? std::string() : found->second;
}

bool ParseCommandLine(const std::vector<std::string>& arguments,
                      const std::vector<std::string>& valueOptions,
                      const std::vector<std::string>& flagOptions, TCommandLine& result,
                      std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
      result.Positional.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = argument.substr(2);
    if (name == "help") {
      result.Help = true;
    } else if (Contains(flagOptions, name)) {
      result.Flags.push_back(name);
    } else if (Contains(valueOptions, name)) {
      if (i + 1 >= arguments.size()) {
        error = "option --" + name + " needs a value";
        return false;
      }
      result.Values[name] = arguments[++i];
    } else {
      error = "unknown option " + argument;
      return false;
    }
  }
  return true;
}

int UsageError(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "ilds %s: %s (see ilds %s --help)\n", command.c_str(), message.c_str(),
               command.c_str());
  return kUsageExit;
}
