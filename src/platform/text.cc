// Text operations over byte strings, shared by every platform.
#include <cctype>
#include <clocale>
#include <cstdlib>

#include "platform.h"

namespace platform {

void start_up() { std::setlocale(LC_CTYPE, ""); }

Text trim(const Text& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
  return text.substr(begin, end - begin);
}

Text lower_case(const Text& text) {
  Text lowered = text;
  const bool double_bytes = MB_CUR_MAX > 1;
  if (double_bytes) std::mblen(nullptr, 0);  // a fresh shift state
  for (size_t at = 0; at < lowered.size(); ++at) {
    // The second byte of a double-byte character may look like a capital.
    const int size = double_bytes ? std::mblen(&lowered[at], lowered.size() - at) : 1;
    if (size > 1) {
      at += static_cast<size_t>(size) - 1;
      continue;
    }
    const int code = static_cast<unsigned char>(lowered[at]);
    if (std::isupper(code)) lowered[at] = static_cast<char>(std::tolower(code));
  }
  return lowered;
}

bool ends_in_backslash(const Text& text) {
  if (text.empty() || text.back() != '\\') return false;
  if (MB_CUR_MAX == 1) return true;
  // Double-byte characters are told only from the start of the text.
  std::mblen(nullptr, 0);
  size_t at = 0, last = 0;
  while (at < text.size()) {
    last = at;
    const int size = std::mblen(&text[at], text.size() - at);
    at += size > 1 ? static_cast<size_t>(size) : 1;
  }
  return last == text.size() - 1;
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
