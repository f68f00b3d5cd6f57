#include "app/answer_file.h"

#include <algorithm>
#include <set>

#include "app/country_list.h"
#include "support/paths.h"
#include "support/text.h"

namespace {

constexpr size_t kMaxValueLength = 255;
constexpr int kLastComponentId = 15;

std::string Trimmed(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
    ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
    --end;
  return std::string(text.substr(begin, end - begin));
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// A value may be written in double quotes, which are not part of it.
std::string Unquoted(std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return value.substr(1, value.size() - 2);
  return value;
}

bool ParseSwitch(const std::string& value, bool& result) {
  const std::string lower = Lower(value);
  if (lower == "1" || lower == "yes" || lower == "true") return result = true, true;
  if (lower == "0" || lower == "no" || lower == "false") return result = false, true;
  return false;
}

bool ParseComponents(const std::string& value, std::vector<int>& ids) {
  std::set<int> seen;
  size_t start = 0;
  for (;;) {
    const size_t comma = value.find(',', start);
    const std::string item = Trimmed(std::string_view(value).substr(start, comma - start));
    if (item.empty() || item.size() > 2 ||
        !std::all_of(item.begin(), item.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return false;
    const int id = std::stoi(item);
    // 12 to 14 are the tree's groups, which follow their members.
    if (id > kLastComponentId || (id >= 12 && id <= 14) || !seen.insert(id).second) return false;
    ids.push_back(id);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

bool KnownCountry(const std::string& value) {
  if (value == kOtherCountry) return true;
  const auto& names = CountryNames();
  return std::find(names.begin(), names.end(), value) != names.end();
}

bool PlainFolderName(const std::string& value) {
  return !value.empty() && value != "." && value != ".." &&
         value.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

class TParser {
 public:
  explicit TParser(TAnswerFile& answers) : answers_(answers) {}

  bool Key(const std::string& section, const std::string& key, const std::string& value,
           std::string& why) {
    if (value.size() > kMaxValueLength) return why = "longer than 255 characters", false;
    if (value.find('\0') != std::string::npos) return why = "holds a NUL character", false;
    if (section == "setup") return SetupKey(key, value, why);
    if (section == "finish") return FinishKey(key, value, why);
    return ConfigurationKey(key, value, why);
  }

 private:
  bool SetupKey(const std::string& key, const std::string& value, std::string& why) {
    if (key == "language") {
      if (!PlainFolderName(value)) return why = "not a folder name", false;
      answers_.Language = value;
    } else if (key == "name") {
      answers_.Name = value;
    } else if (key == "email") {
      answers_.Email = value;
    } else if (key == "company") {
      answers_.Company = value;
    } else if (key == "country") {
      if (!KnownCountry(value)) return why = "not one of the countries the wizard offers", false;
      answers_.Country = value;
    } else if (key == "mode") {
      const std::string lower = Lower(value);
      if (lower != "basic" && lower != "advanced") return why = "neither Basic nor Advanced", false;
      answers_.Advanced = lower == "advanced";
    } else if (key == "database") {
      if (value.empty()) return why = "empty", false;
      answers_.Database = value;
    } else if (key == "components") {
      std::vector<int> ids;
      if (!ParseComponents(value, ids))
        return why = "not a comma-separated list of component ids (0 to 11, 15), each once", false;
      answers_.Components = ids;
    } else if (key == "destination") {
      if (!IsAbsolutePath(value) || value.find("..") != std::string::npos)
        return why = "not an absolute folder path", false;
      answers_.Destination = value;
    } else {
      return why = "unknown key", false;
    }
    return true;
  }

  bool FinishKey(const std::string& key, const std::string& value, std::string& why) {
    std::optional<bool>* target = nullptr;
    if (key == "configurationwizard") target = &answers_.ConfigurationWizard;
    if (key == "quickstart") target = &answers_.QuickStart;
    if (key == "administrationinterface") target = &answers_.AdministrationInterface;
    if (key == "webmailguide") target = &answers_.WebMailGuide;
    if (!target) return why = "unknown key", false;
    bool on = false;
    if (!ParseSwitch(value, on)) return why = "neither 1 nor 0", false;
    *target = on;
    return true;
  }

  bool ConfigurationKey(const std::string& key, const std::string& value, std::string& why) {
    answers_.Configure = true;
    if (key == "hostname")
      answers_.HostName = value;
    else if (key == "domain")
      answers_.Domain = value;
    else if (key == "user")
      answers_.User = value;
    else if (key == "password")
      answers_.Password = value;
    else
      return why = "unknown key", false;
    return true;
  }

  TAnswerFile& answers_;
};

const char* SectionName(const std::string& lower) {
  if (lower == "setup") return "Setup";
  if (lower == "finish") return "Finish";
  return "Configuration";
}

// The checks that concern more than one key.
bool CheckTogether(const TAnswerFile& answers, const std::set<std::string>& keys,
                   std::string& error) {
  if (answers.Database && !answers.Advanced.value_or(false))
    return error = "[Setup] Database: only with Mode=Advanced", false;
  if (answers.Advanced.value_or(false) && !answers.Database)
    return error = "[Setup] Mode: Advanced needs the key Database", false;
  if (answers.Configure) {
    for (const char* required : {"hostname", "domain", "user"})
      if (!keys.count(std::string("configuration.") + required))
        return error = std::string("[Configuration] ") +
                       (required[0] == 'h'   ? "HostName"
                        : required[0] == 'd' ? "Domain"
                                             : "User") +
                       ": missing",
               false;
    if (answers.HostName.empty()) return error = "[Configuration] HostName: empty", false;
    if (Trimmed(answers.Domain).empty()) return error = "[Configuration] Domain: empty", false;
    if (Trimmed(answers.User).empty()) return error = "[Configuration] User: empty", false;
  }
  return true;
}

// Blanks the third field of a run of fields.
std::string BlankThirdField(const std::string& fields, char separator) {
  size_t first = fields.find(separator);
  if (first == std::string::npos) return fields;
  size_t second = fields.find(separator, first + 1);
  if (second == std::string::npos) return fields;
  const size_t third = fields.find(separator, second + 1);
  return fields.substr(0, second + 1) + (third == std::string::npos ? "" : fields.substr(third));
}

}  // namespace

std::string ConnectionWithoutPasswords(const std::string& connection) {
  const size_t bar = connection.find('|');
  if (bar == std::string::npos) return BlankThirdField(connection, ';');
  return BlankThirdField(connection.substr(0, bar), ';') + "|" +
         BlankThirdField(connection.substr(bar + 1), '|');
}

bool ParseAnswerFile(std::string_view text, TAnswerFile& answers, std::string& error) {
  answers = TAnswerFile();
  if (text.size() > kMaxAnswerFileSize) return error = "the file is larger than 64 KiB", false;
  TParser parser(answers);
  std::string section;
  std::set<std::string> keys;
  size_t number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    ++number;
    std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line = Trimmed(line.substr(3));
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    const std::string where = "line " + std::to_string(number);
    if (line.front() == '[') {
      if (line.back() != ']') return error = where + ": a section header without ]", false;
      section = Lower(Trimmed(line.substr(1, line.size() - 2)));
      if (section != "setup" && section != "finish" && section != "configuration")
        return error = where + ": unknown section [" + line.substr(1, line.size() - 2) + "]", false;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return error = where + ": not a key=value line", false;
    const std::string name = Trimmed(line.substr(0, equals));
    if (section.empty()) return error = where + ": " + name + " outside a section", false;
    const std::string label = "[" + std::string(SectionName(section)) + "] " + name;
    if (!keys.insert(section + "." + Lower(name)).second)
      return error = label + ": given twice", false;
    std::string why;
    if (!parser.Key(section, Lower(name), Unquoted(Trimmed(line.substr(equals + 1))), why))
      return error = label + ": " + why, false;
  }
  return CheckTogether(answers, keys, error);
}

std::string FormatAnswerFile(const TAnswerFile& answers) {
  std::string text = "[Setup]\r\n";
  const auto put = [&text](const char* key, const std::optional<std::string>& value) {
    // Quoted, so that blanks and quotes at either end survive a reading.
    if (value) text += std::string(key) + "=\"" + *value + "\"\r\n";
  };
  put("Language", answers.Language);
  put("Name", answers.Name);
  put("Email", answers.Email);
  put("Company", answers.Company);
  put("Country", answers.Country);
  if (answers.Advanced)
    text += std::string("Mode=") + (*answers.Advanced ? "Advanced" : "Basic") + "\r\n";
  if (answers.Database) put("Database", ConnectionWithoutPasswords(*answers.Database));
  if (answers.Components) {
    std::string list;
    for (int id : *answers.Components)
      list += (list.empty() ? "" : ",") + std::to_string(id);
    text += "Components=" + list + "\r\n";
  }
  put("Destination", answers.Destination);
  text += "\r\n[Finish]\r\n";
  const auto flag = [&text](const char* key, const std::optional<bool>& value) {
    if (value) text += std::string(key) + "=" + (*value ? "1" : "0") + "\r\n";
  };
  flag("ConfigurationWizard", answers.ConfigurationWizard);
  flag("QuickStart", answers.QuickStart);
  flag("AdministrationInterface", answers.AdministrationInterface);
  flag("WebMailGuide", answers.WebMailGuide);
  return text;
}
