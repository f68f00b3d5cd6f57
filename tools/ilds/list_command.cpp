#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_input.h"
#include "command_line.h"
#include "commands.h"
#include "platform/files.h"

namespace {

const char kHelp[] =
    "Usage: ilds list ARCHIVE\n"
    "\n"
    "Prints one line per entry, fields separated by a tab: the name, the stored\n"
    "size in bytes, \"encrypted\" or \"plain\", and the CRC-32 of the content in\n"
    "hexadecimal (\"-\" below format 3, which carries none).\n"
    "\n"
    "Exit codes: 0 done, 1 the archive cannot be read or is cut short, 64 bad\n"
    "command line.\n";

}  // namespace

int ListCommand(const std::vector<std::string>& arguments) {
  TCommandLine line;
  std::string error;
  if (!ParseCommandLine(arguments, {}, {}, line, error)) return UsageError("list", error);
  if (line.Help) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (line.Positional.size() != 1) return UsageError("list", "expected ARCHIVE");
  const std::string& archive = line.Positional[0];

  TArchiveInput input;
  if (!input.Open(archive)) {
    std::fprintf(stderr, "ilds list: cannot open \"%s\": %s\n", archive.c_str(),
                 platform::SystemErrorText(platform::LastSystemError()).c_str());
    return 1;
  }
  TArchiveHeader header;
  if (!ReadArchiveHeader(input, header)) {
    std::fprintf(stderr, "ilds list: \"%s\" ends inside its file header\n", archive.c_str());
    return 1;
  }
  const uint32_t version = header.Version();
  while (!input.AtEnd()) {
    TArchiveEntry entry;
    if (!ReadEntryHeader(input, version, entry)) {
      std::fprintf(stderr, "ilds list: \"%s\" ends inside an entry header\n", archive.c_str());
      return 1;
    }
    if (entry.Name.empty()) break;
    std::string checksum = "-";
    if (version >= 3) {
      char hex[9];
      std::snprintf(hex, sizeof hex, "%08" PRIx32, entry.Checksum());
      checksum = hex;
    }
    std::printf("%s\t%" PRIu32 "\t%s\t%s\n", entry.Name.c_str(), entry.StoredSize,
                entry.Encrypted() ? "encrypted" : "plain", checksum.c_str());
    if (input.Skip(entry.StoredSize) != entry.StoredSize) {
      std::fprintf(stderr, "ilds list: \"%s\" ends inside the data of \"%s\"\n", archive.c_str(),
                   entry.Name.c_str());
      return 1;
    }
  }
  return 0;
}
