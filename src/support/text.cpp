#include "support/text.h"

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

}  // namespace

std::string ShortString(std::string_view text) {
  return std::string(text.substr(0, kShortStringLength));
}

std::string TrimLeft(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start]))
    ++start;
  return std::string(text.substr(start));
}

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1]))
    --end;
  return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) {
  size_t start = 0, end = text.size();
  while (start < end && IsBlank(text[start]))
    ++start;
  while (end > start && IsBlank(text[end - 1]))
    --end;
  return std::string(text.substr(start, end - start));
}

std::string LowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = Lower(c);
  return result;
}

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    c = Upper(c);
  return result;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool IsAsciiLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
