// tolvaget: fetches one address the way the installer does, so that an
// administrator can test the way to the download server.
//   tolvaget URL [-o FILE] [--head] [--include-headers] [--proxy HOST:PORT]
// Exit code 0 with the content in FILE or on standard output; 1 with nothing
// written and a one-line reason on standard error.
#include <cstdio>
#include <string>
#include <vector>

#include "net/http_download.h"
#include "platform/files.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr const char* kUsage =
    "usage: tolvaget URL [-o FILE] [--head] [--include-headers] [--proxy HOST:PORT]";

int Fail(const std::string& reason) {
  std::fprintf(stderr, "tolvaget: %s\n", reason.c_str());
  return 1;
}

bool CopyToStandardOutput(const std::string& name) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  platform::File file;
  if (!file.Open(name, platform::FileMode::Read)) return false;
  std::vector<char> block(64 * 1024);
  while (size_t got = file.Read(block.data(), block.size())) {
    if (std::fwrite(block.data(), 1, got, stdout) != got) return false;
  }
  return std::fflush(stdout) == 0;
}

bool MoveTo(const std::string& source, const std::string& destination) {
  if (platform::ReplaceWith(source, destination)) return true;
  // Another file system: copy, then remove the temporary file.
  if (!platform::CopyOneFile(source, destination, false)) {
    platform::RemoveFile(destination);  // a partial copy is no result
    return false;
  }
  platform::RemoveFile(source);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string url, output, proxy;
  bool head = false, includeHeaders = false;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument == "-o" && i + 1 < argc) {
      output = argv[++i];
    } else if (argument == "--head") {
      head = true;
    } else if (argument == "--include-headers") {
      includeHeaders = true;
    } else if (argument == "--proxy" && i + 1 < argc) {
      proxy = argv[++i];
    } else if (url.empty() && !argument.empty() && argument[0] != '-') {
      url = argument;
    } else {
      return Fail(kUsage);
    }
  }
  if (url.empty()) return Fail(kUsage);

  std::string result;
  if (!HttpDownload(url, includeHeaders, head ? "HEAD" : "", result, nullptr, proxy)) {
    std::string reason = LastDownloadError();
    return Fail(reason.empty() ? "the download failed" : reason);
  }
  if (output.empty()) {
    bool copied = CopyToStandardOutput(result);
    platform::RemoveFile(result);
    if (!copied) return Fail("cannot write to standard output");
    return 0;
  }
  if (!MoveTo(result, output)) {
    std::string reason = platform::SystemErrorText(platform::LastSystemError());
    platform::RemoveFile(result);
    return Fail("cannot write " + output + ": " + reason);
  }
  return 0;
}
