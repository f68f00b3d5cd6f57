#include "net/http_response.h"

#include "support/text.h"

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The header lines after the status line, each without its line end.
template <typename Visit>
void ForEachHeaderLine(std::string_view block, Visit&& visit) {
  size_t start = block.find('\n');
  while (start != std::string_view::npos && start + 1 < block.size()) {
    start += 1;
    size_t end = block.find('\n', start);
    std::string_view line =
        block.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) return;  // the blank line ends the block
    if (visit(line)) return;
    start = end;
  }
}

// The value when line is "name:" followed by the value.
std::optional<std::string_view> ValueOf(std::string_view line, std::string_view name) {
  if (line.size() <= name.size() || line[name.size()] != ':') return std::nullopt;
  for (size_t i = 0; i < name.size(); ++i) {
    if (LowerAscii(line[i]) != LowerAscii(name[i])) return std::nullopt;
  }
  return line.substr(name.size() + 1);
}

}  // namespace

size_t HeaderBlockLength(std::string_view received) {
  size_t end = received.find("\r\n\r\n");
  return end == std::string_view::npos ? 0 : end + 4;
}

TResponseHead ParseStatusLine(std::string_view headerBlock) {
  TResponseHead head;
  size_t lineEnd = headerBlock.find('\n');
  head.StatusLine = LowerCase(Trim(headerBlock.substr(0, lineEnd)));
  const std::string& line = head.StatusLine;
  // "http/1.1 200 ok": the version, one space, three digits, then the end or
  // a space.
  if (!StartsWith(line, "http/")) return head;
  size_t space = line.find(' ');
  if (space == std::string::npos || space + 4 > line.size()) return head;
  int code = 0;
  for (size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return head;
    code = code * 10 + (line[i] - '0');
  }
  if (space + 4 < line.size() && line[space + 4] != ' ') return head;
  head.StatusCode = code;
  return head;
}

std::string HeaderValue(std::string_view headerBlock, std::string_view name) {
  std::string value;
  ForEachHeaderLine(headerBlock, [&](std::string_view line) {
    std::optional<std::string_view> found = ValueOf(line, name);
    if (found) value = Trim(*found);
    return found.has_value();
  });
  return value;
}

bool HasHeader(std::string_view headerBlock, std::string_view name) {
  bool found = false;
  ForEachHeaderLine(headerBlock, [&](std::string_view line) {
    found = ValueOf(line, name).has_value();
    return found;
  });
  return found;
}

std::optional<uint64_t> ParseContentLength(std::string_view value) {
  if (value.empty() || value.size() > 20) return std::nullopt;
  uint64_t length = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (length > (UINT64_MAX - digit) / 10) return std::nullopt;
    length = length * 10 + digit;
  }
  return length;
}

std::string_view TChunkedDecoder::Step(std::string_view& bytes) {
  switch (part_) {
    case Part::SizeLine: {
      size_t newline = bytes.find('\n');
      size_t take = newline == std::string_view::npos ? bytes.size() : newline;
      if (line_.size() + take > kMaxChunkSizeLine) {
        state_ = State::Failed;
        return {};
      }
      line_.append(bytes.substr(0, take));
      bytes.remove_prefix(newline == std::string_view::npos ? take : take + 1);
      if (newline != std::string_view::npos && !EndSizeLine()) state_ = State::Failed;
      return {};
    }
    case Part::Data: {
      size_t take = left_ < bytes.size() ? static_cast<size_t>(left_) : bytes.size();
      std::string_view data = bytes.substr(0, take);
      bytes.remove_prefix(take);
      left_ -= take;
      if (left_ == 0) {
        part_ = Part::DataEnd;
        endBytes_ = 0;
      }
      return data;
    }
    case Part::DataEnd: {
      char c = bytes.front();
      bytes.remove_prefix(1);
      if (c == '\r' && endBytes_ == 0) {
        endBytes_ = 1;
      } else if (c == '\n') {
        part_ = Part::SizeLine;
      } else {
        state_ = State::Failed;
      }
      return {};
    }
  }
  return {};
}

bool TChunkedDecoder::EndSizeLine() {
  std::string_view text = line_;
  text = text.substr(0, text.find(';'));
  std::string size = Trim(text);
  line_.clear();
  if (size.empty() || size.size() > 16) return false;
  uint64_t value = 0;
  for (char c : size) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) return false;
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  if (value == 0) {
    state_ = State::Done;
  } else {
    left_ = value;
    part_ = Part::Data;
  }
  return true;
}
