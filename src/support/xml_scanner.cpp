#include "support/xml_scanner.h"

#include "platform/files.h"

namespace {

constexpr size_t kNone = std::string_view::npos;

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

// The first occurrence of pattern in text at or after `from` for which
// accept(position) holds. Knuth-Morris-Pratt, so that no pattern and no
// text, however repetitive, makes the search slower than linear.
template <typename Accept>
size_t FindAccepted(std::string_view text, std::string_view pattern, size_t from, Accept accept) {
  if (pattern.empty() || from >= text.size()) return kNone;
  std::vector<size_t> fallback(pattern.size(), 0);
  for (size_t i = 1, k = 0; i < pattern.size(); ++i) {
    while (k > 0 && pattern[i] != pattern[k])
      k = fallback[k - 1];
    if (pattern[i] == pattern[k]) ++k;
    fallback[i] = k;
  }
  size_t matched = 0;
  for (size_t i = from; i < text.size(); ++i) {
    while (matched > 0 && text[i] != pattern[matched])
      matched = fallback[matched - 1];
    if (text[i] == pattern[matched]) ++matched;
    if (matched == pattern.size()) {
      size_t at = i + 1 - matched;
      if (accept(at)) return at;
      matched = fallback[matched - 1];
    }
  }
  return kNone;
}

size_t Find(std::string_view text, std::string_view pattern, size_t from) {
  return FindAccepted(text, pattern, from, [](size_t) { return true; });
}

// The part of a tag up to its first ">", where values are looked for.
struct TagRegion {
  std::string_view Text;
  bool Closed;  // a ">" ended it
};

TagRegion RegionOf(std::string_view tag) {
  size_t close = tag.find('>');
  if (close == kNone) return {tag, false};
  return {tag.substr(0, close), true};
}

// The value that starts at `at` (just behind the "=").
std::string_view ValueAt(const TagRegion& region, size_t at) {
  std::string_view text = region.Text;
  if (at >= text.size()) return {};
  if (IsQuote(text[at])) {
    size_t end = text.find_first_of("\"'", at + 1);
    if (end == kNone) end = text.size();
    return text.substr(at + 1, end - at - 1);
  }
  size_t end = text.find(' ', at);
  if (end == kNone) end = text.size();
  std::string_view value = text.substr(at, end - at);
  // In <A a=x/> the slash marks the element empty; it is not part of x.
  if (end == text.size() && region.Closed && !value.empty() && value.back() == '/')
    value.remove_suffix(1);
  return value;
}

std::string_view FindValue(const TagRegion& region, std::string_view name) {
  std::string pattern;
  pattern.reserve(name.size() + 2);
  pattern.append(" ").append(name).append("=");
  size_t at = Find(region.Text, pattern, 0);
  if (at == kNone) return {};
  return ValueAt(region, at + pattern.size());
}

bool EndsTagName(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == '/' || c == '>';
}

}  // namespace

bool LoadXMLFile(TXMLType& cursor, const std::string& path) {
  if (path.empty()) return false;
  platform::File file;
  if (!file.Open(path, platform::FileMode::Read)) return false;
  std::string data;
  try {
    char buffer[1 << 16];
    while (size_t got = file.Read(buffer, sizeof buffer))
      data.append(buffer, got);
    file.Close();
  } catch (const platform::IoError&) {
    return false;
  }
  cursor.Data = std::move(data);
  cursor.Tag.clear();
  cursor.Position = 0;
  return true;
}

void InitXMLText(TXMLType& cursor, std::string_view text, std::string_view tag) {
  cursor.Data = std::string(text);
  cursor.Tag = std::string(tag);
  cursor.Position = 0;
}

bool FindElement(TXMLType& cursor, std::string_view tag, std::string& result, TXMLMode mode,
                 bool whole) {
  cursor.Tag = std::string(tag);
  cursor.Position = 0;
  return FindNextElement(cursor, result, whole, mode);
}

bool FindNextElement(TXMLType& cursor, std::string& result, bool whole, TXMLMode mode) {
  result.clear();
  std::string_view data = cursor.Data;
  const std::string open = "<" + cursor.Tag;
  // Position is 1-based, so as an index it points just behind itself.
  size_t start = FindAccepted(data, open, cursor.Position, [&](size_t at) {
    size_t after = at + open.size();
    return after < data.size() && EndsTagName(data[after]);
  });
  if (start == kNone) return false;
  size_t close = data.find('>', start + open.size());
  if (close == kNone) return false;
  cursor.Position = close + 1;
  if (data[close - 1] == '/') {
    if (whole) result = std::string(data.substr(start, close + 1 - start));
    return true;
  }
  const std::string end = "</" + cursor.Tag + ">";
  size_t endAt = Find(data, end, close + 1);
  if (endAt == kNone) return false;
  std::string_view found = whole ? data.substr(start, endAt + end.size() - start)
                                 : data.substr(close + 1, endAt - close - 1);
  cursor.Position = endAt + end.size();
  result = DecodeXMLText(found, mode);
  return true;
}

bool ElementText(std::string_view text, std::string_view tag, TXMLMode mode, bool whole,
                 std::string& result) {
  TXMLType cursor;
  InitXMLText(cursor, text, tag);
  return FindElement(cursor, tag, result, mode, whole);
}

void ParseTagAttributes(std::string_view tag, TXMLAttributes& attributes, TXMLMode mode) {
  attributes.clear();
  if (tag.size() <= 2) return;
  const TagRegion region = RegionOf(tag);
  size_t tokenStart = 1;
  bool quoted = false;
  bool named = false;  // the current token has given its name already
  for (size_t i = 1; i + 1 < tag.size(); ++i) {
    char c = tag[i];
    if (IsQuote(c)) {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (c == ' ') {
      tokenStart = i + 1;
      named = false;
      continue;
    }
    if (c == '>') break;
    if (c != '=' || named) continue;
    // A later "=" of the same token belongs to its value (a=b=c is one
    // attribute a), or names would pile up as a, a=b, ... on such input.
    named = true;
    std::string_view name = tag.substr(tokenStart, i - tokenStart);
    if (name.empty()) continue;
    // The token right behind "<" has no space before it: only a " name="
    // elsewhere in the tag gives it a value.
    std::string_view value = tokenStart == 1 ? FindValue(region, name) : ValueAt(region, i + 1);
    attributes.push_back({std::string(name), DecodeXMLText(value, mode)});
  }
}

std::string TagAttribute(std::string_view tag, std::string_view name, TXMLMode mode) {
  return DecodeXMLText(FindValue(RegionOf(tag), name), mode);
}
