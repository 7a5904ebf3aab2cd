// The order in which Windows lists the names of a folder, for builds written
// at the same time.
#include "app/builds.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

TEST(ListedBefore, ComparesLettersAsCapitals) {
  // clang-format off
  const char* const kAscending[][2] = {
      {"Blink.cpp.elf", "Blink.ino.elf"}, {"blink.cpp.elf", "Blink.ino.elf"}, {"ab.elf", "a_b.elf"},
      {"A.elf", "b.elf"}, {"x", "x.elf"}, {"Z.elf", "\xE9.elf"}};
  // clang-format on
  for (const auto& [low, high] : kAscending) {
    EXPECT_TRUE(listed_before(low, high)) << low << " < " << high;
    EXPECT_FALSE(listed_before(high, low)) << high << " < " << low;
  }
  EXPECT_FALSE(listed_before("Blink.elf", "BLINK.ELF"));
}

}  // namespace
}  // namespace tolvane
