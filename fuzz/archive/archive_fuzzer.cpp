// Any bytes as a data archive, unpacked into a scratch folder: nothing may
// crash, hang, allocate without bound or write outside the destination.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/extract_archive.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace {

// The destination lies a few levels below the scratch folder, so that names
// climbing out of it land where the check below sees them.
const char* const kChain[] = {"l1\\", "l2\\", "l3\\", "l4\\", "dest\\"};

std::string& Base() {
  static std::string base;
  return base;
}

std::string Destination() {
  std::string path = Base();
  for (const char* part : kChain)
    path += part;
  return path;
}

// Everything in the scratch folder must be the input file, the folders
// leading to the destination, or lie inside the destination.
void CheckNothingOutside(const std::string& folder, size_t depth) {
  for (const platform::FolderEntry& entry : platform::ListFolder(folder, "*")) {
    bool allowed =
        depth < 5 && entry.IsFolder && !entry.IsLink && entry.Name + "\\" == kChain[depth];
    if (depth == 0 && entry.Name == "input.dat" && !entry.IsFolder) allowed = true;
    if (!allowed) {
      std::fprintf(stderr, "written outside the destination: %s%s\n", folder.c_str(),
                   entry.Name.c_str());
      __builtin_trap();
    }
    if (depth < 4) CheckNothingOutside(folder + entry.Name + "\\", depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // No single allocation may approach what a stored size can claim (4 GiB).
  static std::string limit = "-malloc_limit_mb=64";
  static char* arguments[256];
  int count = 0;
  arguments[count++] = (*argv)[0];
  arguments[count++] = limit.data();
  for (int i = 1; i < *argc && count < 255; ++i)
    arguments[count++] = (*argv)[i];
  arguments[count] = nullptr;
  *argc = count;
  *argv = arguments;

  Base() = "/tmp/fuzz-archive-" + std::to_string(getpid()) + "\\";
  DeleteFolderTree(Base());
  ForceFolders(Destination());
  std::atexit([] { DeleteFolderTree(Base()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string archive = Base() + "input.dat";
  const std::string destination = Destination();
  if (!WriteStringToFile(std::string(reinterpret_cast<const char*>(data), size), archive)) return 0;

  // The size picks the options, so the bytes stay all archive.
  int code = -1;
  switch (size % 4) {
    case 0:
      ExtractArchive(archive, destination, code);
      break;
    case 1:
      ExtractArchive(archive, destination, code, true, "", "", "fuzz");
      break;
    case 2:
      WriteStringToFile("existing", destination + "a");
      ExtractArchive(archive, destination, code, false, ";a;b\\c;", "", "fuzz");
      break;
    default:
      ExtractArchive(archive, destination, code, true, "", " A ; b\\C;;", "");
      break;
  }
  if (code < 0 || code > 3) __builtin_trap();

  CheckNothingOutside(Base(), 0);
  DeleteFolderTree(destination);
  ForceFolders(destination);
  return 0;
}
