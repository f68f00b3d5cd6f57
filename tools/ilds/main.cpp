// ilds: builds the distribution's data archives and unpacks or lists them.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"

namespace {

const char kUsage[] =
    "Usage: ilds COMMAND [OPTIONS] ARGUMENTS\n"
    "\n"
    "Builds and reads ILDS data archives.\n"
    "\n"
    "Commands:\n"
    "  create [--format 0|1|2|3] [--password P] ARCHIVE FOLDER\n"
    "      pack every file below FOLDER\n"
    "  extract [--keep-existing] [--keep-list LIST] [--only LIST] [--password P] ARCHIVE DEST\n"
    "      unpack ARCHIVE into DEST\n"
    "  list ARCHIVE\n"
    "      print one line per entry: name, stored size, encrypted flag, CRC-32\n"
    "\n"
    "ilds COMMAND --help tells more about each command.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (arguments.empty()) {
    std::fputs(kUsage, stderr);
    return kUsageExit;
  }
  const std::string command = arguments.front();
  arguments.erase(arguments.begin());
  try {
    if (command == "create") return CreateCommand(arguments);
    if (command == "extract") return ExtractCommand(arguments);
    if (command == "list") return ListCommand(arguments);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ilds %s: %s\n", command.c_str(), error.what());
    return 1;
  }
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::fprintf(stderr, "ilds: unknown command \"%s\"\n\n%s", command.c_str(), kUsage);
  return kUsageExit;
}
