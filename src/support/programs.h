// The command line, the shell and network shares.
#pragma once

#include <string>

#include "platform/shell.h"

// Hands the file to the shell to open with the verb (empty: the default one).
// The outcome is not reported.
void RunProgram(platform::WindowHandle owner, const std::string& verb, const std::string& file,
                const std::string& parameters, const std::string& folder, int showCommand);

// Opens a document, program or address with the shell's "open" verb, shown
// normally, without waiting; the outcome is not reported.
void OpenWithShell(const std::string& file);

// Finds a switch ("/name", "-name", "--name") among the command-line
// arguments. With attachedValue the switch is one letter and its value
// follows directly or as the next argument; otherwise "name=value".
bool FindSwitch(const std::string& name, std::string& value, bool caseSensitive = false,
                bool attachedValue = false);

// Connects a UNC disk resource without a drive letter.
bool ConnectNetworkShare(const std::string& remote, const std::string& user,
                         const std::string& password);
