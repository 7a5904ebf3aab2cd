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

}  // namespace platform
