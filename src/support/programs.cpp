#include "support/programs.h"

#include <vector>

#include "platform/system_info.h"
#include "support/text.h"

void RunProgram(platform::WindowHandle owner, const std::string& verb, const std::string& file,
                const std::string& parameters, const std::string& folder, int showCommand) {
  platform::ShellRequest request;
  request.Owner = owner;
  request.Verb = ShortString(verb);
  request.File = ShortString(file);
  request.Parameters = ShortString(parameters);
  request.Folder = ShortString(folder);
  request.ShowCommand = showCommand;
  platform::CurrentShell().Open(request);
}

void OpenWithShell(const std::string& file) {
  constexpr int kShowNormal = 1;
  RunProgram(nullptr, "open", file, "", "", kShowNormal);
}

bool FindSwitch(const std::string& name, std::string& value, bool caseSensitive,
                bool attachedValue) {
  value.clear();
  const std::string wanted = caseSensitive ? name : LowerCase(name);
  const std::vector<std::string> arguments = platform::CurrentSystem().Arguments();
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.size() <= 1 || (argument[0] != '-' && argument[0] != '/')) continue;
    std::string rest = argument.substr(1);
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '/')) rest.erase(0, 1);

    std::string key, found;
    if (attachedValue) {
      key = rest.substr(0, 1);
      found = rest.size() > 1 ? rest.substr(1) : std::string();
      if (found.empty() && i + 1 < arguments.size()) found = arguments[i + 1];
    } else {
      size_t equals = rest.find('=');
      key = rest.substr(0, equals);
      if (equals != std::string::npos) found = rest.substr(equals + 1);
    }
    if (!caseSensitive) key = LowerCase(key);
    if (key == wanted) {
      value = found;
      return true;
    }
  }
  return false;
}

bool ConnectNetworkShare(const std::string& remote, const std::string& user,
                         const std::string& password) {
  return platform::CurrentShell().ConnectShare(remote, user, password);
}
