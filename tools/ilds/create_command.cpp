#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "command_line.h"
#include "commands.h"
#include "platform/files.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

const char kHelp[] =
    "Usage: ilds create [--format 0|1|2|3] [--password P] ARCHIVE FOLDER\n"
    "\n"
    "Packs every file below FOLDER into ARCHIVE, replacing it. Entry names are\n"
    "relative to FOLDER with \\ between folders; links to folders are not\n"
    "followed and empty folders are not recorded.\n"
    "\n"
    "  --format N    format version 0, 1, 2 or 3 (default 3); only 3 carries\n"
    "                checksums and encryption\n"
    "  --password P  encrypt every entry (format 3)\n"
    "\n"
    "Exit codes: 0 done, 1 failed (ARCHIVE is left as it was), 64 bad command line.\n";

struct TSourceFile {
  std::string Name;  // relative, `\` between folders
  std::string Path;
};

bool SamePath(const std::string& a, const std::string& b) {
#ifdef _WIN32
  return SameText(a, b);
#else
  return a == b;
#endif
}

void Collect(const std::string& root, const std::string& relative,
             const std::vector<std::string>& excluded, std::vector<TSourceFile>& files) {
  std::vector<platform::FolderEntry> entries = platform::ListFolder(root + relative, "*");
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.Name < b.Name; });
  for (const platform::FolderEntry& entry : entries) {
    std::string name = relative + entry.Name;
    if (entry.IsFolder) {
      if (entry.IsLink)
        std::fprintf(stderr, "ilds create: not following the link \"%s\"\n", name.c_str());
      else
        Collect(root, name + "\\", excluded, files);
      continue;
    }
    std::string path = root + name;
    std::string full = platform::FullPath(path);
    bool skip = std::any_of(excluded.begin(), excluded.end(),
                            [&](const std::string& other) { return SamePath(full, other); });
    if (!skip) files.push_back({name, path});
  }
}

}  // namespace

int CreateCommand(const std::vector<std::string>& arguments) {
  TCommandLine line;
  std::string error;
  if (!ParseCommandLine(arguments, {"format", "password"}, {}, line, error))
    return UsageError("create", error);
  if (line.Help) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (line.Positional.size() != 2) return UsageError("create", "expected ARCHIVE and FOLDER");
  uint32_t version = 3;
  if (line.HasValue("format")) {
    std::string format = line.Value("format");
    if (format.size() != 1 || format[0] < '0' || format[0] > '3')
      return UsageError("create", "the format is 0, 1, 2 or 3");
    version = static_cast<uint32_t>(format[0] - '0');
  }
  const std::string password = line.Value("password");
  if (!password.empty() && version < 3) return UsageError("create", "a password needs format 3");

  const std::string archive = line.Positional[0];
  const std::string folder = WithPathDelimiter(line.Positional[1], true, false);
  if (!FolderExists(folder)) {
    std::fprintf(stderr, "ilds create: \"%s\" is not a folder\n", line.Positional[1].c_str());
    return 1;
  }
  // The archive is written beside its final name and put in place when it is
  // complete, so a failed run leaves no half archive behind. Neither file is
  // packed into itself when it lies inside the folder.
  const std::string partial = archive + ".part";
  std::vector<TSourceFile> files;
  Collect(folder, "", {platform::FullPath(archive), platform::FullPath(partial)}, files);

  TArchiveWriter writer(version, password);
  if (!writer.Create(partial)) {
    std::fprintf(stderr, "ilds create: cannot create \"%s\": %s\n", partial.c_str(),
                 platform::SystemErrorText(platform::LastSystemError()).c_str());
    return 1;
  }
  try {
    for (const TSourceFile& file : files) {
      if (!writer.AddFile(file.Name, file.Path))
        throw std::runtime_error("cannot read \"" + file.Path +
                                 "\": " + platform::SystemErrorText(platform::LastSystemError()));
    }
    writer.Close();
  } catch (...) {
    try {
      writer.Close();
    } catch (...) {
    }
    platform::RemoveFile(partial);
    throw;
  }
  if (!platform::ReplaceWith(partial, archive)) {
    std::string reason = platform::SystemErrorText(platform::LastSystemError());
    platform::RemoveFile(partial);
    std::fprintf(stderr, "ilds create: cannot write \"%s\": %s\n", archive.c_str(), reason.c_str());
    return 1;
  }
  return 0;
}
