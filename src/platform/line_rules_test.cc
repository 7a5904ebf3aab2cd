// The text-mode translation and the shaping of one line.
#include "platform/line_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

using namespace std::string_literals;

TEST(FinishLine, RemovesTheLineEnd) {
  EXPECT_EQ(finish_line("abc\n", false), "abc");
  EXPECT_EQ(finish_line("abc\r\n", false), "abc");
  EXPECT_EQ(finish_line("\n", false), "");
  EXPECT_EQ(finish_line("a\rb\n", false), "a\rb");
  EXPECT_EQ(finish_line("a\0\0\n"s, false), "a\0\0"s);  // NULs before a line end stay
}

TEST(FinishLine, AtEndOfDataDropsTrailingNulsThenACr) {
  EXPECT_EQ(finish_line("abc", true), "abc");
  EXPECT_EQ(finish_line("abc\r", true), "abc");
  EXPECT_EQ(finish_line("ab\0\0"s, true), "ab");
  EXPECT_EQ(finish_line("ab\r\0"s, true), "ab");
  EXPECT_EQ(finish_line("a\0b"s, true), "a\0b"s);
  EXPECT_EQ(finish_line("", true), "");
}

// Offers |raw| to a decoder |piece| bytes at a time, as a reader with a small
// buffer would, bytes not consumed offered again with the next piece.
std::string decode_in_pieces(const std::string& raw, size_t piece, bool* ended = nullptr) {
  TextModeDecoder decoder;
  std::string out;
  std::string pending;
  for (size_t at = 0; at < raw.size() && !decoder.ended(); at += piece) {
    pending += raw.substr(at, piece);
    bool more = at + piece < raw.size();
    size_t used = decoder.decode(pending.data(), pending.size(), more, out);
    pending.erase(0, used);
  }
  if (ended) *ended = decoder.ended();
  return out;
}

TEST(TextModeDecoder, TranslatesAlikeWhateverThePieces) {
  struct Case {
    std::string raw, text;
  };
  const Case cases[] = {
      {"a\r\nb\nc", "a\nb\nc"},
      {"a\rb\n", "a\rb\n"},
      {"x\r\r\ny", "x\r\ny"},
      {"\r\n\r\n", "\n\n"},
      {"end\r", "end\r"},
      {"\xEF\xBB\xBF"
       "build.path=x\r\n",
       "\xEF\xBB\xBF"
       "build.path=x\n"},
      {"a\0b\r\n"s, "a\0b\n"s},
  };
  for (const Case& c : cases) {
    for (size_t piece = 1; piece <= c.raw.size(); ++piece) {
      EXPECT_EQ(decode_in_pieces(c.raw, piece), c.text) << "piece " << piece;
    }
  }
}

TEST(TextModeDecoder, CtrlZEndsTheData) {
  for (size_t piece = 1; piece <= 8; ++piece) {
    bool ended = false;
    EXPECT_EQ(decode_in_pieces("ab\r\n\x1a"
                               "cd\r\nef",
                               piece, &ended),
              "ab\n");
    EXPECT_TRUE(ended);
  }
  bool ended = true;
  decode_in_pieces("no end mark", 4, &ended);
  EXPECT_FALSE(ended);
}

TEST(TextModeDecoder, CrAtTheEndOfAPieceWaitsForTheNextByte) {
  TextModeDecoder decoder;
  std::string out;
  EXPECT_EQ(decoder.decode("a\r", 2, true, out), 1u);
  EXPECT_EQ(out, "a");
  EXPECT_EQ(decoder.decode("\r\nb", 3, true, out), 3u);
  EXPECT_EQ(out, "a\nb");
  EXPECT_EQ(decoder.decode("\r", 1, false, out), 1u);  // nothing follows: it stays
  EXPECT_EQ(out, "a\nb\r");
}

}  // namespace
}  // namespace platform
