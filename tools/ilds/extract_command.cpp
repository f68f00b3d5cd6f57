#include <cstdio>
#include <string>
#include <vector>

#include "archive/extract_archive.h"
#include "command_line.h"
#include "commands.h"
#include "platform/files.h"
#include "support/paths.h"

namespace {

const char kHelp[] =
    "Usage: ilds extract [--keep-existing] [--keep-list LIST] [--only LIST] [--password P]\n"
    "                    ARCHIVE DEST\n"
    "\n"
    "Unpacks ARCHIVE into the folder DEST, which is created when missing.\n"
    "\n"
    "  --keep-existing  keep files that exist already; with --keep-list only\n"
    "                   those named in LIST are kept and the others replaced\n"
    "  --keep-list LIST names with a ; before and after each, as \";a.txt;b\\c.ini;\"\n"
    "  --only LIST      unpack only the entries named in LIST (separated by ;)\n"
    "  --password P     password of encrypted entries\n"
    "\n"
    "Exit codes: 0 done; 1 failed (archive unreadable or cut short, DEST cannot\n"
    "be created, or a file could not be written); 2 an encrypted entry needs a\n"
    "password; 3 a damaged entry (checksum mismatch, its file removed); 4 an\n"
    "entry name points outside DEST; 64 bad command line. Files unpacked before\n"
    "a failure stay.\n";

std::string FailureText(const std::string& archive, const std::string& destination) {
  platform::File file;
  if (!file.Open(archive, platform::FileMode::Read))
    return "cannot open \"" + archive +
           "\": " + platform::SystemErrorText(platform::LastSystemError());
  std::string folder = WithPathDelimiter(destination, true, false);
  if (!FolderExists(folder)) return "cannot create the folder \"" + destination + "\"";
  return "\"" + archive + "\" is cut short or unreadable, or a file could not be written";
}

}  // namespace

int ExtractCommand(const std::vector<std::string>& arguments) {
  TCommandLine line;
  std::string error;
  if (!ParseCommandLine(arguments, {"keep-list", "only", "password"}, {"keep-existing"}, line,
                        error))
    return UsageError("extract", error);
  if (line.Help) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (line.Positional.size() != 2) return UsageError("extract", "expected ARCHIVE and DEST");
  const std::string archive = line.Positional[0], destination = line.Positional[1];

  int code = 0;
  if (ExtractArchive(archive, destination, code, !line.HasFlag("keep-existing"),
                     line.Value("keep-list"), line.Value("only"), line.Value("password")))
    return 0;
  std::string message;
  switch (code) {
    case kExtractNeedsPassword:
      message = "an encrypted entry needs a password";
      break;
    case kExtractDamagedEntry:
      message = "a damaged entry (its checksum does not match) was removed; stopped there";
      break;
    case kExtractUnsafeName:
      message = "an entry name points outside the destination; stopped there";
      break;
    default:
      message = FailureText(archive, destination);
      break;
  }
  std::fprintf(stderr, "ilds extract: %s\n", message.c_str());
  return 1 + code;
}
