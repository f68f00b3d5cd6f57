#include "localization/server_strings.h"

#include <cstdint>

#include "platform/codepage.h"
#include "platform/files.h"
#include "support/file_io.h"
#include "support/text.h"

bool ParseServerStringLine(std::string_view line, std::string& key, std::u16string& value) {
  key.clear();
  value.clear();
  const std::string text = Trim(line);
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  // The value ends at the next "=" outside its quoted runs, so that a text
  // holding "=" keeps it.
  size_t end = equals + 1;
  bool quoted = false;
  while (end < text.size() && (quoted || text[end] != '=')) {
    if (text[end] == '\'') quoted = !quoted;
    ++end;
  }
  key = Trim(std::string_view(text).substr(0, equals));
  const std::string raw = Trim(std::string_view(text).substr(equals + 1, end - equals - 1));
  if (key.empty() || raw.empty()) {
    key.clear();
    return false;
  }
  value = DecodeServerStringValue(raw);
  return true;
}

std::u16string DecodeServerStringValue(std::string_view value) {
  std::u16string out;
  size_t i = 0;
  while (i < value.size()) {
    const char c = value[i];
    if (c == '\'') {
      std::string run;
      ++i;
      while (i < value.size()) {
        if (value[i] == '\'') {
          if (i + 1 < value.size() && value[i + 1] == '\'') {
            run.push_back('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        run.push_back(value[i++]);
      }
      out += platform::AnsiToUtf16(run);
    } else if (c == '#') {
      ++i;
      uint32_t code = 0;
      size_t digits = 0;
      while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
        if (code <= 0xFFFF) code = code * 10 + static_cast<uint32_t>(value[i] - '0');
        ++digits;
        ++i;
      }
      if (digits == 0 || code == 0 || code > 0xFFFF) continue;
      // Codes of one byte are characters of the ANSI code page, as in the
      // narrow texts they stand for; larger ones are Unicode.
      if (code <= 0xFF)
        out += platform::AnsiToUtf16(std::string(1, static_cast<char>(code)));
      else
        out.push_back(static_cast<char16_t>(code));
    } else {
      ++i;
    }
  }
  return out;
}

size_t ApplyServerStrings(std::string_view text, TLocalizationStrings& registry) {
  size_t applied = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string key;
    std::u16string value;
    if (ParseServerStringLine(text.substr(start, end - start), key, value) &&
        FindString(key, registry) >= 0) {
      SetStringValue(key, value, registry);
      ++applied;
    }
    start = end + 1;
  }
  return applied;
}

bool LoadServerStrings(const std::string& path, TLocalizationStrings& registry) {
  if (!platform::PathExists(path) || platform::IsFolder(path)) return false;
  std::string text;
  try {
    text = ReadFileToString(path);
  } catch (const platform::IoError&) {
    return false;
  }
  ApplyServerStrings(text, registry);
  return true;
}
