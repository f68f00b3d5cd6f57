// The answer file of an unattended installation: an INI file with the
// wizard's answers ([Setup]), the finish page's choices ([Finish]) and the
// first configuration of a new installation ([Configuration]). Every key is
// checked before anything is done with any of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The largest answer file read.
inline constexpr size_t kMaxAnswerFileSize = 64 * 1024;

struct TAnswerFile {
  // [Setup]; a missing key keeps what the wizard shows.
  std::optional<std::string> Language;  // a folder of the distribution's lang\ folder
  std::optional<std::string> Name, Email, Company, Country;
  std::optional<bool> Advanced;  // Mode=Basic|Advanced
  std::optional<std::string> Database;
  std::optional<std::vector<int>> Components;  // ids; missing: the default selection
  std::optional<std::string> Destination;
  // [Finish]
  std::optional<bool> ConfigurationWizard, QuickStart, AdministrationInterface, WebMailGuide;
  // [Configuration]
  bool Configure = false;
  std::string HostName, Domain, User, Password;
};

// Reads and checks an answer file. False with error naming the key (or the
// line) that is refused and why.
bool ParseAnswerFile(std::string_view text, TAnswerFile& answers, std::string& error);

// The connection string with the passwords of both connections left out.
std::string ConnectionWithoutPasswords(const std::string& connection);

// The answers as an answer file, [Setup] and [Finish] only: no password is
// ever written.
std::string FormatAnswerFile(const TAnswerFile& answers);
