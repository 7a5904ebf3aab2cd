// The chips whose tools differ within an architecture, each configured for
// its own instruction set (the Xtensa chips of Espressif), and how a build's
// own files tell which of them it is for.
#ifndef TOLVANE_APP_CHIPS_H_
#define TOLVANE_APP_CHIPS_H_

#include "platform/platform.h"

namespace tolvane {

using platform::Text;

/// A chip, as esptool tells it: the id in the header of the image that the
/// core writes beside the ELF file, and the address ranges of its
/// flash-mapped data and its instruction RAM.
struct Chip {
  const char* name;  // as the console names it
  unsigned machine;  // the ELF files' e_machine
  const char* prefix;
  int image_id;  // -1: its core writes no such image
  unsigned long ranges[2][2];
};

/// The chip whose own tools are those of |prefix| (in any letter case); null
/// when none.
const Chip* chip_of(const Text& prefix);

/// True when the tools of |prefix| list a chip's instructions only once a
/// wrapper of that chip has configured them.
bool unconfigured(const Text& prefix);

/// The chip of ELF machine |machine| that the build's own files tell: the
/// one in whose flash-mapped data alone, else in whose instruction RAM
/// alone, the loaded segments of the ELF file |elf| lie; else the image
/// beside it (<name>.bin for <name>.elf). Null when they tell none.
const Chip* chip_of_files(const Text& elf, unsigned machine);

/// The value of the |size| bytes at |at| of |bytes|, in the byte order of an
/// ELF file whose byte 5 is |order| (2: big-endian).
unsigned long value_at(const Text& bytes, size_t at, size_t size, char order);

}  // namespace tolvane

#endif  // TOLVANE_APP_CHIPS_H_
