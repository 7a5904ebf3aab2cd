// Text operations over byte strings, shared by every platform; the byte
// rules of the code page come from the platform (byte_rules.h).
#include "platform/byte_rules.h"

namespace platform {

Text trim(const Text& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
  return text.substr(begin, end - begin);
}

Text lower_case(const Text& text) {
  Text lowered = text;
  // The second byte of a double-byte character may look like a capital.
  for (size_t at = 0, size; at < lowered.size(); at += size) {
    size = character_size(lowered, at);
    if (size == 1) lowered[at] = lowered_byte(lowered[at]);
  }
  return lowered;
}

bool ends_in_backslash(const Text& text) {
  if (text.empty() || text.back() != '\\') return false;
  // Double-byte characters are told only from the start of the text.
  size_t at = 0, last = 0;
  while (at < text.size()) {
    last = at;
    at += character_size(text, at);
  }
  return last == text.size() - 1;
}

bool wildcard_match(const Text& pattern, const Text& name) {
  auto lower = [](char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
  };
  size_t at = 0;             // in pattern
  size_t next = 0;           // in name
  size_t star = Text::npos;  // the last "*" met
  size_t star_next = 0;      // where the name stood at it
  while (next < name.size()) {
    if (at < pattern.size() && pattern[at] == '*') {
      star = at++;
      star_next = next;
    } else if (at < pattern.size() &&
               (pattern[at] == '?' || lower(pattern[at]) == lower(name[next]))) {
      ++at;
      ++next;
    } else if (star != Text::npos) {
      at = star + 1;  // let the "*" take one byte more
      next = ++star_next;
    } else {
      return false;
    }
  }
  while (at < pattern.size() && pattern[at] == '*') ++at;
  return at == pattern.size();
}

long find(long start, const Text& text, const Text& pattern) {
  long size = length(text);
  if (pattern.empty() || text.empty() || start < 1 || start > size) return 0;
  if (length(pattern) > size) return 0;
  size_t at = text.find(pattern, static_cast<size_t>(start - 1));
  return at == Text::npos ? 0 : static_cast<long>(at) + 1;
}

Text middle(const Text& text, long start) {
  if (start < 1 || start > length(text)) return Text();
  return text.substr(static_cast<size_t>(start - 1));
}

Text left(const Text& text, long count) {
  if (count <= 0) return Text();
  return text.substr(0, static_cast<size_t>(count));
}

long length(const Text& text) { return static_cast<long>(text.size()); }

bool is_utf8(const Text& text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  for (size_t at = 0; at < size;) {
    const unsigned lead = bytes[at];
    // The continuation count, and the range of the second byte that keeps
    // out overlong forms, surrogates and code points above U+10FFFF.
    size_t more = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead < 0x80) {
      ++at;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (size - at <= more || bytes[at + 1] < low || bytes[at + 1] > high) return false;
    for (size_t i = 2; i <= more; ++i) {
      if ((bytes[at + i] & 0xC0) != 0x80) return false;
    }
    at += more + 1;
  }
  return true;
}

}  // namespace platform
