// The byte rules behind the shared text operations: where a character of the
// code page of file names ends, and which single-byte characters are capitals
// there (each system's own), and wildcard patterns (the same everywhere).
#ifndef TOLVANE_PLATFORM_BYTE_RULES_H_
#define TOLVANE_PLATFORM_BYTE_RULES_H_

#include <cstddef>

#include "platform/platform.h"

namespace platform {

/// The byte count of the character at |at| of |text| (at < size): 2 for a
/// double-byte character, more for a longer one, 1 for anything else.
size_t character_size(const Text& text, size_t at);

/// |byte|, a single-byte character, lowered when the code page has it as a
/// capital; otherwise itself.
char lowered_byte(char byte);

/// True when |name| matches |pattern|, whose "*" stands for any run of bytes
/// and "?" for exactly one, ASCII letters compared in any case.
bool wildcard_match(const Text& pattern, const Text& name);

}  // namespace platform

#endif  // TOLVANE_PLATFORM_BYTE_RULES_H_
