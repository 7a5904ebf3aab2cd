// Line rules shared by every platform.
#include "line_rules.h"

#include <cstring>

namespace platform {

std::string finish_line(std::string raw, bool at_end_of_data) {
  if (!raw.empty() && raw.back() == '\n') {
    raw.pop_back();
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    return raw;
  }
  if (at_end_of_data) {
    while (!raw.empty() && raw.back() == '\0') raw.pop_back();
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
  }
  return raw;
}

size_t TextModeDecoder::decode(const char* raw, size_t size, bool more_follows, std::string& out) {
  size_t at = 0;
  while (at < size && !ended_) {
    // The bytes up to the next CR or Ctrl-Z need no translation: one append.
    size_t plain = at;
    while (plain < size && raw[plain] != '\r' && raw[plain] != kEndOfTextData) ++plain;
    out.append(raw + at, plain - at);
    at = plain;
    if (at == size) break;
    char byte = raw[at];
    if (byte == kEndOfTextData) {
      ended_ = true;
      ++at;
      break;
    }
    if (byte == '\r') {
      if (at + 1 == size && more_follows) break;  // wait to see what follows
      if (at + 1 < size && raw[at + 1] == '\n') {
        out.push_back('\n');
        at += 2;
        continue;
      }
    }
    out.push_back(byte);
    ++at;
  }
  return at;
}

void LineReader::start(Source source, long long size) {
  *this = LineReader();
  source_ = std::move(source);
  size_ = size;
  buffer_.reset(new char[kPieceSize]);
}

// Keeps the unconsumed bytes and appends the next piece of the file to them;
// false when the file has nothing more.
bool LineReader::fill() {
  if (exhausted_) return false;
  const size_t kept = end_ - begin_;
  std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
  begin_ = 0;
  end_ = kept;
  const size_t got = source_(buffer_.get() + kept, kPieceSize - kept);
  end_ += got;
  exhausted_ = got == 0;
  return got > 0;
}

// Translates |count| unconsumed bytes onto |line| and consumes what was taken.
size_t LineReader::take(size_t count, bool more_follows, std::string& line) {
  const char* start = buffer_.get() + begin_;
  size_t used = count;
  if (!std::memchr(start, '\r', count) && !std::memchr(start, kEndOfTextData, count)) {
    line.append(start, count);  // nothing to translate
  } else {
    used = decoder_.decode(start, count, more_follows, line);
  }
  begin_ += used;
  position_ += static_cast<long long>(used);
  return used;
}

bool LineReader::at_end() {
  if (decoder_.ended() || position_ >= size_) return true;
  if (begin_ == end_ && !fill()) return true;
  return buffer_[begin_] == kEndOfTextData;
}

void LineReader::read_line(std::string& line) {
  line.clear();
  bool ended_by_lf = false;
  while (!ended_by_lf && !decoder_.ended()) {
    if (begin_ == end_ && !fill()) break;
    const char* start = buffer_.get() + begin_;
    const size_t available = end_ - begin_;
    const void* lf = std::memchr(start, '\n', available);
    const size_t count =
        lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) + 1 : available;
    const size_t used = take(count, true, line);
    if (decoder_.ended()) break;
    if (used == count) {
      ended_by_lf = lf != nullptr;
    } else if (!fill()) {
      // A CR waited for the byte after it, and there is none.
      take(end_ - begin_, false, line);
      break;
    }
  }
  line = finish_line(std::move(line), !ended_by_lf);
}

}  // namespace platform
