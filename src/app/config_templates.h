// Configuration files adapted to the installation's folders, and the spell
// checker's registration.
#pragma once

#include <string>

struct TInstallerState;

// Writes targetFolder + the template's file name: the template's lines
// trimmed, without empty ones, each with the first "%%installpath%%",
// "%%logpath%%" and "%%temppath%%" replaced and a CRLF. A template given
// without an absolute path is read below the extraction folder. Nothing is
// written when the template is missing, unreadable or empty.
void ExpandTemplate(const TInstallerState& state, const std::string& templatePath,
                    const std::string& targetFolder);

// For upgrades from versions that predate the web client module: adds its
// filter and virtual host to installPath + "config\webserver.cfg", and moves
// the PHP library to its new folder. The file is replaced whole; one that
// cannot be read is left alone.
void EditWebServerConfig(const std::string& installPath);
// The text of that edit, for any configuration text.
std::string WebServerConfigEdited(std::string text);

// Creates HKLM "Software\ASpell" with aspellFolder (without its trailing
// backslash) when the key is missing, and copies the spell checker's library
// beside PHP. True when the key was created; failures are swallowed.
bool RegisterAspell(const std::string& aspellFolder, const std::string& phpFolder);
