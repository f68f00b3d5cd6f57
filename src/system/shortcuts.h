// Shell links and the folders they go to: the Start-menu program group, the
// desktop and Quick Launch.
#pragma once

#include <string>

class TAdvancedRegistry;

// Whether text may name one folder or link file inside another: not empty,
// none of \ / : * ? " < > | or control characters, not ending in a dot or a
// space (Windows drops those, so ".." or "x." would name something else).
// Names from a language file are checked with it before anything is deleted
// or made under their name.
bool IsSafeShellName(const std::string& name);

// Saves a link to target at linkPath; iconIndex 0 and empty arguments leave
// them unset. Failures are silent.
void CreateShortcut(const std::string& target, const std::string& linkPath,
                    const std::string& arguments, int iconIndex);

// The user's desktop folder ending in `\`; empty when the shell has none.
std::string DesktopFolder();
// The current user's "AppData" (the temporary folder, else the program's
// folder, when it is not recorded) + "Microsoft\Internet Explorer\Quick
// Launch\".
std::string QuickLaunchFolder();

// The shell-folder value of the registry component (area, section and root
// as it is bound), ending in `\`; empty when it cannot be read.
std::string ShellFolder(TAdvancedRegistry& shellFolders, const std::string& value);
// folder + name + `\`; empty when folder is empty or name is not a safe
// shell name.
std::string GroupFolder(const std::string& folder, const std::string& name);
