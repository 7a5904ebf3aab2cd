// Two orders: the one in which Windows lists the names of a folder, for
// builds written at the same time, and that of the Boards Manager's versions.
#include <gtest/gtest.h>

#include "app/builds.h"
#include "app/toolchain.h"

namespace tolvane {
namespace {

TEST(Order, ListedBeforeComparesLettersAsCapitalsAndVersionBelowNumbersAsNumbers) {
  const struct {
    bool (*below)(const Text&, const Text&);
    const char* low;
    const char* high;
  } kAscending[] = {
      // clang-format off
      {listed_before, "Blink.cpp.elf", "Blink.ino.elf"}, {listed_before, "blink.cpp.elf", "Blink.ino.elf"},
      {listed_before, "ab.elf", "a_b.elf"}, {listed_before, "A.elf", "b.elf"}, {listed_before, "x", "x.elf"},
      {listed_before, "Z.elf", "\xE9.elf"}, {version_below, "5.4.0-atmel3.6.1-arduino2", "7.3.0-atmel3.6.1-arduino7"},
      {version_below, "7.3.0-atmel3.6.1-arduino7", "7.3.0-atmel3.6.1-arduino10"}, {version_below, "1.9", "1.10"},
      {version_below, "4.8.1", "4.9"}, {version_below, "7.3.0", "7.3.0-atmel"}, {version_below, "007", "8"},
      {version_below, "7.a", "7.b"},
      // clang-format on
  };
  for (const auto& c : kAscending) {
    EXPECT_TRUE(c.below(c.low, c.high)) << c.low << " < " << c.high;
    EXPECT_FALSE(c.below(c.high, c.low)) << c.high << " < " << c.low;
  }
  EXPECT_FALSE(listed_before("Blink.elf", "BLINK.ELF"));
  EXPECT_FALSE(version_below("7.3.0", "7.3.0") || version_below("07.3", "7.3"));
}

}  // namespace
}  // namespace tolvane
