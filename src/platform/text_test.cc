// The text operations, with their 1-based positions.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace platform {
namespace {

TEST(Text, Operations) {
  EXPECT_EQ("a b", trim(std::string("  a b \0 \0", 9)));
  EXPECT_EQ("", trim("   "));
  EXPECT_EQ("build.path=c:\\x y", lower_case("BUILD.Path=C:\\X y"));
  const struct {
    long start;
    Text text, pattern;
    long found;
  } kFinds[] = {{1, "a=b=c", "=", 2}, {3, "a=b=c", "=", 4}, {5, "a=b=c", "=", 0},
                {1, "abc", "abc", 1}, {1, "ab", "abc", 0},  {0, "abc", "a", 0},
                {4, "abc", "c", 0},   {1, "", "a", 0},      {1, "abc", "", 0}};
  for (const auto& f : kFinds)
    EXPECT_EQ(f.found, find(f.start, f.text, f.pattern)) << f.start << f.text;
  EXPECT_EQ("bc", middle("abc", 2));
  EXPECT_EQ("", middle("abc", 4));
  EXPECT_EQ("", middle("abc", 0));
  EXPECT_EQ("ab", left("abc", 2));
  EXPECT_EQ("", left("abc", -1));
  EXPECT_EQ("abc", left("abc", 9));
}

}  // namespace
}  // namespace platform
