// The suite's web server configuration "webserver.dat" in the configuration
// folder: an XML document with a root element "WEB" holding "OPTIONS" and one
// "HOST" element per web host. Within a host, "EXTENSIONS" holds the script
// mappings (each an "ITEM" with "EXT", "MODULE", "TITLE") and "SPECIAL" the
// special paths (each an "ITEM" with "TITLE", "MODULE", "SCRIPT"). The
// installer appends to host 0 only; everything else is carried through.
//
// The older "webserver.cfg" is not read: when only that file exists, there
// is no configuration to change, and it is left as it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/xml_object.h"

inline constexpr const char* kWebServerFileName = "webserver.dat";
// The log format of a configuration that names none (in "OPTIONS").
inline constexpr const char* kDefaultWebLogFormat =
    "fc-ip cs-username date time cs-method cs-uri-stem cs-version sc-status bytes cs(Referer) "
    "cs(User-Agent)";

// Handler types of a script mapping's module.
enum THandlerType : int { kIsapiHandler = 0, kCgiHandler, kFastCgiHandler, kSsiHandler };

// A module as stored: its path, behind the tag of its handler type ("(isapi)",
// "(cgi)", "(fastcgi)", "(ssi)") unless the type is ISAPI and the path names
// a ".dll". A type outside 0..3 counts as ISAPI.
std::string ModuleText(int handlerType, const std::string& path);
// The other way: a leading tag (any letter case) gives the type, no tag ISAPI.
void ParseModuleText(const std::string& text, int& handlerType, std::string& path);

// One script mapping or special path to append.
struct TScriptMapping {
  std::string Extension;
  int HandlerType = kIsapiHandler;
  std::string Module;
  std::string Title;
};
struct TSpecialPath {
  std::string Path;    // stored with a leading `/` and `/` for every `\`
  std::string Module;  // the title of a script mapping
  std::string Script;
};

class TWebServerConfig {
 public:
  TXMLObject Document;  // the unnamed document node; "WEB" below it

  // The "WEB" element and its hosts, made when missing.
  TXMLObject& Web();
  std::vector<TXMLObject*> Hosts();
  // The defaults every read applies: one empty host when there is none, and
  // the log format when it is empty.
  void ApplyDefaults();

  // Texts of the host's script mappings (field "EXT", "MODULE" or "TITLE").
  static std::vector<std::string> MappingTexts(const TXMLObject& host, const char* field);
  static void AddMapping(TXMLObject& host, const TScriptMapping& mapping);
  static void AddSpecialPath(TXMLObject& host, const TSpecialPath& special);
};

// The process-wide configuration, as last read or saved.
TWebServerConfig& WebServerConfig();

// Reads configFolder's "webserver.dat" unless it is the file last read and
// unchanged since (same name, stamp and size). False when there is no such
// file; the configuration is then empty.
bool LoadWebServerConfig(const std::string& configFolder);
// Writes the configuration to configFolder's "webserver.dat", replacing the
// file in one step, never in place; false when it could not be written.
bool SaveWebServerConfig(const std::string& configFolder);
// Forgets what was read, so that the next load reads the file.
void ForgetWebServerConfig();
