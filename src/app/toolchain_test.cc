// The order of the Boards Manager's versions.
#include "app/toolchain.h"

#include <gtest/gtest.h>

namespace tolvane {
namespace {

TEST(VersionBelow, ComparesTheNumbersInAVersionAsNumbers) {
  const char* const kAscending[][2] = {
      {"5.4.0-atmel3.6.1-arduino2", "7.3.0-atmel3.6.1-arduino7"},
      {"7.3.0-atmel3.6.1-arduino7", "7.3.0-atmel3.6.1-arduino10"},
      {"1.9", "1.10"},
      {"4.8.1", "4.9"},
      {"7.3.0", "7.3.0-atmel"},
      {"007", "8"},
      {"7.a", "7.b"},
  };
  for (const auto& [low, high] : kAscending) {
    EXPECT_TRUE(version_below(low, high)) << low << " < " << high;
    EXPECT_FALSE(version_below(high, low)) << high << " < " << low;
  }
  EXPECT_FALSE(version_below("7.3.0", "7.3.0"));
  EXPECT_FALSE(version_below("07.3", "7.3"));
}

}  // namespace
}  // namespace tolvane
