#include "support/fields.h"

#include "support/text.h"

std::string GetField(std::string_view text, int index, char separator, bool toEnd, bool keepSpaces,
                     bool keepFieldSpaces) {
  if (text.empty()) return std::string();
  std::string subject = keepSpaces ? std::string(text) : Trim(text);
  if (subject.empty()) return std::string();

  long long count = 0;
  size_t start = 0, end = std::string::npos;
  for (size_t i = 0; i < subject.size(); ++i) {
    if (subject[i] != separator) continue;
    if (count == index) {
      end = i;
      break;
    }
    start = i + 1;
    ++count;
  }
  if (count < index) return std::string();

  std::string field = toEnd || end == std::string::npos ? subject.substr(start)
                                                        : subject.substr(start, end - start);
  return keepFieldSpaces ? field : Trim(field);
}

bool SplitString(std::string_view text, char separator, std::vector<std::string>& pieces,
                 bool trim) {
  pieces.clear();
  if (text.empty()) return false;
  auto add = [&](std::string_view piece) {
    if (!trim) {
      pieces.emplace_back(piece);
      return;
    }
    std::string trimmed = Trim(piece);
    if (!trimmed.empty()) pieces.push_back(std::move(trimmed));
  };
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == separator) {
      add(text.substr(start, i - start));
      start = i + 1;
    } else if (i + 1 == text.size()) {
      add(text.substr(start));
    }
  }
  return true;
}

std::string CopyRange(std::string_view text, int from, int to) {
  long long first = from < 1 ? 1 : from;
  long long last =
      to > static_cast<long long>(text.size()) ? static_cast<long long>(text.size()) : to;
  if (last < first) return std::string();
  return std::string(
      text.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1)));
}

int LastCharPos(char c, std::string_view text) {
  size_t at = text.rfind(c);
  return at == std::string_view::npos ? 0 : static_cast<int>(at + 1);
}
