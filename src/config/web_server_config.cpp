#include "config/web_server_config.h"

#include <array>

#include "config/replace_file.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/text.h"

namespace {

constexpr std::array<const char*, 4> kHandlerTags = {"(isapi)", "(cgi)", "(fastcgi)", "(ssi)"};

struct ConfigCache {
  TWebServerConfig Config;
  // What was read last: the file, its stamp and its size.
  std::string Path;
  int32_t Stamp = 0;
  uint64_t Size = 0;
  bool Valid = false;
};

ConfigCache& Cache() {
  static ConfigCache cache;
  return cache;
}

uint64_t FileSize(const std::string& path) {
  platform::File file;
  if (!file.Open(path, platform::FileMode::Read)) return 0;
  try {
    return file.Size();
  } catch (const platform::IoError&) {
    return 0;
  }
}

void Remember(const std::string& path) {
  ConfigCache& cache = Cache();
  cache.Path = path;
  cache.Stamp = FileStamp(path);
  cache.Size = FileSize(path);
  cache.Valid = true;
}

TXMLObject& ChildOf(TXMLObject& parent, const char* name) {
  if (TXMLObject* child = parent.FindChild(name)) return *child;
  return *parent.AddChild(name, "", kXMLEntitiesUtf8);
}

}  // namespace

std::string ModuleText(int handlerType, const std::string& path) {
  if (handlerType < 0 || handlerType >= static_cast<int>(kHandlerTags.size()))
    handlerType = kIsapiHandler;
  if (handlerType == kIsapiHandler && LowerCase(path).find(".dll") != std::string::npos)
    return path;
  return kHandlerTags[static_cast<size_t>(handlerType)] + path;
}

void ParseModuleText(const std::string& text, int& handlerType, std::string& path) {
  for (size_t type = 0; type < kHandlerTags.size(); ++type) {
    if (StartsWith(LowerCase(text), kHandlerTags[type])) {
      handlerType = static_cast<int>(type);
      path = text.substr(std::string_view(kHandlerTags[type]).size());
      return;
    }
  }
  handlerType = kIsapiHandler;
  path = text;
}

TXMLObject& TWebServerConfig::Web() {
  return ChildOf(Document, "WEB");
}

std::vector<TXMLObject*> TWebServerConfig::Hosts() {
  std::vector<TXMLObject*> hosts;
  for (auto& child : Web().Children)
    if (child->Name == "HOST") hosts.push_back(child.get());
  return hosts;
}

void TWebServerConfig::ApplyDefaults() {
  TXMLObject& web = Web();
  if (Hosts().empty()) web.AddChild("HOST", "", kXMLEntitiesUtf8);
  TXMLObject& options = ChildOf(web, "OPTIONS");
  if (options.GetChildText("LOGFORMAT", kXMLEntitiesUtf8).empty())
    options.SetChildText("LOGFORMAT", kDefaultWebLogFormat, kXMLEntitiesUtf8);
}

std::vector<std::string> TWebServerConfig::MappingTexts(const TXMLObject& host, const char* field) {
  std::vector<std::string> texts;
  const TXMLObject* extensions = host.FindChild("EXTENSIONS");
  if (!extensions) return texts;
  for (const auto& item : extensions->Children)
    if (item->Name == "ITEM") texts.push_back(item->GetChildText(field, kXMLEntitiesUtf8));
  return texts;
}

void TWebServerConfig::AddMapping(TXMLObject& host, const TScriptMapping& mapping) {
  TXMLObject* item = ChildOf(host, "EXTENSIONS").AddChild("ITEM", "", kXMLEntitiesUtf8);
  item->SetChildText("EXT", mapping.Extension, kXMLEntitiesUtf8);
  item->SetChildText("MODULE", ModuleText(mapping.HandlerType, mapping.Module), kXMLEntitiesUtf8);
  item->SetChildText("TITLE", mapping.Title, kXMLEntitiesUtf8);
}

void TWebServerConfig::AddSpecialPath(TXMLObject& host, const TSpecialPath& special) {
  std::string path = special.Path;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (!StartsWith(path, "/")) path = "/" + path;
  TXMLObject* item = ChildOf(host, "SPECIAL").AddChild("ITEM", "", kXMLEntitiesUtf8);
  item->SetChildText("TITLE", path, kXMLEntitiesUtf8);
  item->SetChildText("MODULE", special.Module, kXMLEntitiesUtf8);
  item->SetChildText("SCRIPT", special.Script, kXMLEntitiesUtf8);
}

TWebServerConfig& WebServerConfig() {
  return Cache().Config;
}

bool LoadWebServerConfig(const std::string& configFolder) {
  ConfigCache& cache = Cache();
  const std::string path = configFolder + kWebServerFileName;
  if (!platform::PathExists(path) || platform::IsFolder(path)) {
    ForgetWebServerConfig();
    return false;
  }
  if (cache.Valid && cache.Path == path && cache.Stamp == FileStamp(path) &&
      cache.Size == FileSize(path))
    return true;
  // A file that exists but cannot be read (a server holding it) is no
  // configuration: reading it as empty would have the next save replace it.
  std::string text;
  platform::File file;
  bool read = file.Open(path, platform::FileMode::Read);
  try {
    char buffer[65536];
    while (read)
      if (size_t got = file.Read(buffer, sizeof buffer))
        text.append(buffer, got);
      else
        break;
  } catch (const platform::IoError&) {
    read = false;
  }
  file = platform::File();
  cache.Config.Document.Clear();
  if (!read) {
    ForgetWebServerConfig();
    return false;
  }
  cache.Config.Document.Parse(text);
  Remember(path);
  cache.Config.ApplyDefaults();
  return true;
}

bool SaveWebServerConfig(const std::string& configFolder) {
  const std::string path = configFolder + kWebServerFileName;
  std::string text = Cache().Config.Document.ToText(true, true);
  if (WriteFileReplacing(path, text.data(), text.size(), TReplaceMode::WholeOnly) ==
      WriteOutcome::Failed) {
    ForgetWebServerConfig();
    return false;
  }
  Remember(path);
  return true;
}

void ForgetWebServerConfig() {
  ConfigCache& cache = Cache();
  cache.Config.Document.Clear();
  cache.Valid = false;
  cache.Path.clear();
}
