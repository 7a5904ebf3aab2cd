// The byte rules of text on POSIX: those of the C runtime's character-type
// locale, which the environment sets.
#include <cctype>
#include <clocale>
#include <cwchar>

#include "platform/byte_rules.h"

namespace platform {

void start_up() { std::setlocale(LC_CTYPE, ""); }

size_t character_size(const Text& text, size_t at) {
  // Every locale's character set holds ASCII as single bytes, and from a
  // fresh shift state no longer character starts with one.
  if (static_cast<unsigned char>(text[at]) < 0x80) return 1;
  std::mbstate_t state{};  // a fresh shift state
  const size_t size = std::mbrlen(&text[at], text.size() - at, &state);
  // A NUL byte, a byte that begins no character, or a character cut off.
  return size == 0 || size > text.size() - at ? 1 : size;
}

char lowered_byte(char byte) {
  const int code = static_cast<unsigned char>(byte);
  return std::isupper(code) ? static_cast<char>(std::tolower(code)) : byte;
}

}  // namespace platform
