#include "net/http_response.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Feeds the body in pieces of the given size; returns the decoded data.
std::string Decode(const std::string& body, size_t piece, TChunkedDecoder::State& state) {
  TChunkedDecoder decoder;
  std::string out;
  for (size_t i = 0; i < body.size(); i += piece) {
    state = decoder.Feed(std::string_view(body).substr(i, piece),
                         [&](std::string_view data) { out.append(data); });
  }
  state = decoder.CurrentState();
  return out;
}

}  // namespace

TEST(HttpResponse, StatusAndHeaders) {
  const std::string block =
      "HTTP/1.1 200 OK\r\nX-Content-Length: 5\r\ncontent-length:  42 \r\n"
      "Set-Cookie: a=b; Path=/\r\nX-Note: Location: /nowhere\r\n\r\n";
  EXPECT_EQ(HeaderBlockLength(block + "body"), block.size());
  EXPECT_EQ(HeaderBlockLength("HTTP/1.1 200 OK\r\n\r"), 0u);
  TResponseHead head = ParseStatusLine(block);
  EXPECT_EQ(head.StatusLine, "http/1.1 200 ok");
  EXPECT_EQ(head.StatusCode, 200);
  EXPECT_EQ(HeaderValue(block, "Content-Length"), "42");
  EXPECT_EQ(HeaderValue(block, "set-cookie"), "a=b; Path=/");
  EXPECT_EQ(HeaderValue(block, "Location"), "");
  EXPECT_FALSE(HasHeader(block, "Location"));
  EXPECT_FALSE(HasHeader(block, "HTTP/1.1 200 OK\r\nContent"));

  EXPECT_EQ(ParseStatusLine("HTTP/1.1 500 x 200\r\n\r\n").StatusCode, 500);
  EXPECT_EQ(ParseStatusLine("HTTP/1.0 302\r\n\r\n").StatusCode, 302);
  EXPECT_EQ(ParseStatusLine("XTTP/1.1 200 OK\r\n\r\n").StatusCode, 0);
  EXPECT_EQ(ParseStatusLine("HTTP/1.1 2000 OK\r\n\r\n").StatusCode, 0);
  EXPECT_EQ(ParseStatusLine("HTTP/1.1 20\r\n\r\n").StatusCode, 0);

  EXPECT_EQ(ParseContentLength("0"), 0u);
  EXPECT_EQ(ParseContentLength("18446744073709551615"), UINT64_MAX);
  EXPECT_FALSE(ParseContentLength("18446744073709551616"));
  EXPECT_EQ(ParseContentLength("5368709120"), 5368709120u);
  EXPECT_FALSE(ParseContentLength("-1"));
  EXPECT_FALSE(ParseContentLength("12abc"));
  EXPECT_FALSE(ParseContentLength(""));
}

TEST(HttpResponse, ChunkedBodiesInAnyPieces) {
  const std::string body = "5;ext\r\nhello\r\n7;a=\"b\"\r\n, world\r\n0\r\n\r\n";
  for (size_t piece : {1u, 2u, 3u, 7u, 1000u}) {
    TChunkedDecoder::State state;
    EXPECT_EQ(Decode(body, piece, state), "hello, world") << piece;
    EXPECT_EQ(state, TChunkedDecoder::State::Done) << piece;
  }
  TChunkedDecoder::State state;
  // Without its last chunk the body is not done.
  Decode("5\r\nhello\r\n", 4, state);
  EXPECT_EQ(state, TChunkedDecoder::State::Running);
  Decode("5\r\nhelloXX3\r\nabc\r\n0\r\n\r\n", 4, state);
  EXPECT_EQ(state, TChunkedDecoder::State::Failed);
  Decode("zz\r\n", 1, state);
  EXPECT_EQ(state, TChunkedDecoder::State::Failed);
  Decode("\r\n", 1, state);
  EXPECT_EQ(state, TChunkedDecoder::State::Failed);
  Decode("11111111111111111\r\n", 1, state);  // more than 64 bits
  EXPECT_EQ(state, TChunkedDecoder::State::Failed);
  // An endless size line is refused at its bound instead of growing.
  Decode(std::string(kMaxChunkSizeLine + 1, '1'), 512, state);
  EXPECT_EQ(state, TChunkedDecoder::State::Failed);
  Decode("1;" + std::string(kMaxChunkSizeLine - 10, 'e') + "\r\nx\r\n0\r\n", 100, state);
  EXPECT_EQ(state, TChunkedDecoder::State::Done);
}
