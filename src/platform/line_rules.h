// The rules by which the input file's bytes become lines, shared by every
// platform: the text-mode translation and the shaping of one line.
#ifndef TOLVANE_PLATFORM_LINE_RULES_H_
#define TOLVANE_PLATFORM_LINE_RULES_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace platform {

/// Byte used in text mode to mark the end of the readable data (Ctrl-Z).
constexpr char kEndOfTextData = '\x1a';

/// Turns |raw|, the bytes of a line up to and including its LF (or up to the
/// end of the data), into the line: the LF and a CR before it go; at the end
/// of the data, NUL bytes at the very end and then a final CR go.
std::string finish_line(std::string raw, bool at_end_of_data);

/// Translates raw file bytes as a text-mode stream does: CR LF becomes LF, a
/// lone CR stays, and Ctrl-Z ends the data. Feed it the file in pieces.
class TextModeDecoder {
 public:
  /// Translates |raw| and appends the result to |out|. |more_follows| tells
  /// whether further bytes may come, so that a CR at the end of |raw| can wait
  /// for them. Gives the number of bytes of |raw| consumed; bytes not
  /// consumed (a trailing CR) must be offered again with what follows.
  size_t decode(const char* raw, size_t size, bool more_follows, std::string& out);

  /// True once Ctrl-Z has been met; nothing after it is delivered.
  bool ended() const { return ended_; }

 private:
  bool ended_ = false;
};

/// Reads a file's lines in text mode from its raw bytes, on every platform:
/// the data ends at the size measured at open, or at Ctrl-Z.
class LineReader {
 public:
  /// Puts at most |size| raw bytes into |into|; gives the count, 0 at the
  /// end of the file or on an error that ends it.
  using Source = std::function<size_t(char* into, size_t size)>;

  /// Starts reading |size| bytes (measured at open) from |source|.
  void start(Source source, long long size);

  /// True when no data is left: the measured size is consumed, the file gave
  /// no more bytes, or Ctrl-Z comes next.
  bool at_end();

  /// The next line without its line end, as finish_line shapes it.
  void read_line(std::string& line);

 private:
  bool fill();
  size_t take(size_t count, bool more_follows, std::string& line);

  Source source_;
  long long size_ = 0;
  long long position_ = 0;  // raw bytes consumed so far
  // One piece of the file, left uninitialised: the source fills it.
  static constexpr size_t kPieceSize = 64 * 1024;
  std::unique_ptr<char[]> buffer_;
  size_t begin_ = 0;  // unconsumed bytes are buffer_[begin_, end_)
  size_t end_ = 0;
  bool exhausted_ = false;
  TextModeDecoder decoder_;
};

}  // namespace platform

#endif  // TOLVANE_PLATFORM_LINE_RULES_H_
