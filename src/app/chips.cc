// The chips whose tools differ within an architecture, and how a build tells
// which it is for.
#include "app/chips.h"

#include <algorithm>
#include <iterator>
#include <vector>

using namespace platform;

namespace tolvane {

namespace {

// The chips, from esptool's chip ids and memory maps: the image's header
// starts with 0xE9 and holds the id in bytes 12 and 13. The flash-mapped
// data's ranges come first: they are each chip's alone, where one chip's
// instruction RAM may hold another's code in flash (an ESP32-S2's, at
// 0x40080000, is in the ESP32's).
// clang-format off
const Chip kChips[] = {
    {"an ESP32", 94, "xtensa-esp32-elf-", 0, {{0x3F400000, 0x3F800000}, {0x40070000, 0x400A0000}}},
    {"an ESP32-S2", 94, "xtensa-esp32s2-elf-", 2, {{0x3F000000, 0x3F400000}, {0x40020000, 0x40070000}}},
    {"an ESP32-S3", 94, "xtensa-esp32s3-elf-", 9, {{0x3C000000, 0x3E000000}, {0x40370000, 0x403E0000}}},
    {"an ESP8266", 94, "xtensa-lx106-elf-", -1, {{0, 0}, {0x40100000, 0x40108000}}},
};
// clang-format on
// Tools that list a chip's instructions only once a wrapper of that chip has
// configured them: never taken where such a wrapper is beside them.
const char* const kUnconfigured[] = {"xtensa-esp-elf-"};
// The image's header as far as the chip id, and where the id is.
constexpr size_t kImageHeader = 14;
constexpr size_t kImageChip = 12;
constexpr unsigned char kImageMagic = 0xE9;
// The ELF header of a 32-bit file, and no more of the file than this for
// its program headers.
constexpr size_t kElfHeader = 52;
constexpr size_t kProgramHeadersLimit = 1 << 16;

// True when a chip of |machine| has tools of its own.
bool has_chips(unsigned machine) {
  for (const Chip& chip : kChips) {
    if (chip.machine == machine) return true;
  }
  return false;
}

}  // namespace

unsigned long value_at(const Text& bytes, size_t at, size_t size, char order) {
  unsigned long value = 0;
  for (size_t i = 0; i < size; ++i) {
    const size_t byte = order == 2 ? at + i : at + size - 1 - i;
    value = value << 8 | static_cast<unsigned char>(bytes[byte]);
  }
  return value;
}

const Chip* chip_of(const Text& prefix) {
  for (const Chip& chip : kChips) {
    if (lower_case(prefix) == chip.prefix) return &chip;
  }
  return nullptr;
}

bool unconfigured(const Text& prefix) {
  for (const char* known : kUnconfigured) {
    if (lower_case(prefix) == known) return true;
  }
  return false;
}

const Chip* chip_of_files(const Text& elf, unsigned machine) {
  if (!has_chips(machine)) return nullptr;
  // The program headers of a 32-bit ELF file: PT_LOAD (1) segments' addresses.
  std::vector<unsigned long> loaded;
  Text header;
  if (read_file_start(elf, kElfHeader, header) && header.size() == kElfHeader && header[4] == 1) {
    const char order = header[5];
    const unsigned long at = value_at(header, 28, 4, order), size = value_at(header, 42, 2, order),
                        end = at + value_at(header, 44, 2, order) * size;
    if (size >= 32 && end <= kProgramHeadersLimit && read_file_start(elf, end, header) &&
        header.size() >= end) {
      for (unsigned long entry = at; entry < end; entry += size) {
        if (value_at(header, entry, 4, order) == 1)
          loaded.push_back(value_at(header, entry + 8, 4, order));
      }
    }
  }
  // Each kind of range in turn: the one chip in whose ranges of that kind
  // segments lie tells it; a segment in the ranges of two chips tells none.
  for (size_t kind = 0; kind < std::size(kChips[0].ranges); ++kind) {
    const Chip* told = nullptr;
    bool several = false;
    for (const Chip& chip : kChips) {
      const auto& range = chip.ranges[kind];
      const bool holds = std::any_of(loaded.begin(), loaded.end(), [&](unsigned long address) {
        return address >= range[0] && address < range[1];
      });
      if (chip.machine != machine || !holds) continue;
      several = several || told;
      told = &chip;
    }
    if (several) break;
    if (told) return told;
  }
  // An ESP8266's image starts alike, but holds no chip id.
  Text image;
  const Text bin = left(elf, length(elf) - 4) + ".bin";
  if (lower_case(middle(elf, length(elf) - 3)) == ".elf" &&
      read_file_start(bin, kImageHeader, image) && image.size() == kImageHeader &&
      static_cast<unsigned char>(image[0]) == kImageMagic) {
    for (const Chip& chip : kChips) {
      if (chip.machine == machine && chip.image_id >= 0 &&
          value_at(image, kImageChip, 2, 1) == static_cast<unsigned long>(chip.image_id))
        return &chip;
    }
  }
  return nullptr;
}

}  // namespace tolvane
