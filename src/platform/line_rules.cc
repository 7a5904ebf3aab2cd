// Line rules shared by every platform.
#include "line_rules.h"

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

}  // namespace platform
