// "webserver.dat" is the suite's web server configuration, edited by
// administrators and the suite alike: any text must read, take the PHP
// mappings once, and be written whole.
//
// Input: the file's bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/web_server_config.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/paths.h"

namespace {

std::string Folder() {
  static std::string folder = [] {
    std::string base = platform::IsFolder("/dev/shm") ? "/dev/shm/" : "/tmp/";
    std::string path = base + "fuzz-webserver-" + std::to_string(getpid()) + "\\";
    ForceFolders(path);
    return path;
  }();
  return folder;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

size_t Count(const std::vector<std::string>& texts, const std::string& text) {
  size_t n = 0;
  for (const std::string& each : texts)
    n += each == text;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder = Folder();
  WriteStringToFile(std::string(reinterpret_cast<const char*>(data), size),
                    folder + kWebServerFileName);
  ForgetWebServerConfig();
  Check(LoadWebServerConfig(folder));
  TWebServerConfig& config = WebServerConfig();
  std::vector<TXMLObject*> hosts = config.Hosts();
  Check(!hosts.empty());
  TXMLObject& host = *hosts.front();
  size_t mappings = TWebServerConfig::MappingTexts(host, "EXT").size();
  if (Count(TWebServerConfig::MappingTexts(host, "EXT"), ".php") == 0) {
    TWebServerConfig::AddMapping(host, {".php", kIsapiHandler, "php\\php.dll", ""});
    ++mappings;
  }
  Check(SaveWebServerConfig(folder));
  Check(!platform::PathExists(folder + kWebServerFileName + ".new"));

  // What was written reads back with the same mappings in host 0.
  ForgetWebServerConfig();
  Check(LoadWebServerConfig(folder));
  std::vector<TXMLObject*> again = WebServerConfig().Hosts();
  Check(!again.empty());
  std::vector<std::string> extensions = TWebServerConfig::MappingTexts(*again.front(), "EXT");
  Check(extensions.size() == mappings);
  Check(Count(extensions, ".php") >= 1);

  int type = 0;
  std::string path;
  ParseModuleText(std::string(reinterpret_cast<const char*>(data), size), type, path);
  Check(type >= kIsapiHandler && type <= kSsiHandler);
  return 0;
}
