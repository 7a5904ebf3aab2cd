// The byte rules of text on Windows: those of the ANSI code page (GetACP), in
// which the file functions take names, whatever the C runtime's locale; the
// user's regional format may name another code page.
#include <windows.h>

#include "platform/byte_rules.h"

namespace platform {

namespace {

// Each byte lowered as a single-byte character of the ANSI code page: only
// ASCII in UTF-8 (65001), no lead byte of a double-byte code page, and only
// where the system lowers it and raises it back again (a byte that the code
// page lacks would come back as "?").
struct LowerTable {
  char bytes[256];
  LowerTable() {
    const UINT code_page = GetACP();
    for (int code = 0; code < 256; ++code) {
      char byte = static_cast<char>(code), upper = 0;
      bytes[code] = byte;
      if (code == 0 || IsDBCSLeadByteEx(code_page, static_cast<BYTE>(code)) ||
          (code_page == CP_UTF8 && code >= 0x80)) {
        continue;
      }
      CharLowerBuffA(&byte, 1);
      upper = byte;
      CharUpperBuffA(&upper, 1);
      if (upper == static_cast<char>(code)) bytes[code] = byte;
    }
  }
};

}  // namespace

// The runtime's locale is left as it starts ("C"): no rule follows it.
void start_up() {}

size_t character_size(const Text& text, size_t at) {
  // In UTF-8 no byte of a longer character is ASCII, so each counts alone.
  static const UINT code_page = GetACP();
  return at + 1 < text.size() && IsDBCSLeadByteEx(code_page, static_cast<BYTE>(text[at])) ? 2 : 1;
}

char lowered_byte(char byte) {
  static const LowerTable table;
  return table.bytes[static_cast<unsigned char>(byte)];
}

}  // namespace platform
