// Text operations over byte strings.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace platform {
namespace {

using namespace std::string_literals;

TEST(Trim, RemovesSpacesAtStartAndSpacesAndNulsAtEnd) {
  EXPECT_EQ(trim("  build.path=x  "), "build.path=x");
  EXPECT_EQ(trim("ab\0 \0\0"s), "ab");
  EXPECT_EQ(trim("\0ab"s), "\0ab"s);  // a NUL at the start stays
  EXPECT_EQ(trim("\tkey "), "\tkey");
  EXPECT_EQ(trim("a\r\n"), "a\r\n");
  EXPECT_EQ(trim("    "), "");
  EXPECT_EQ(trim(""), "");
}

TEST(LowerCase, LowersAsciiCapitalsAndKeepsLength) {
  EXPECT_EQ(lower_case("C:\\Temp\\BUILDS"), "c:\\temp\\builds");
  EXPECT_EQ(lower_case("A\0B"s), "a\0b"s);
  // Bytes above 127 are classed as unsigned values, never as negative ones.
  EXPECT_EQ(lower_case("\xC4\xFF"
                       "Z"),
            "\xC4\xFF"
            "z");
}

TEST(Find, GivesOneBasedPositionOrZero) {
  EXPECT_EQ(find(1, "blink.cpp.elf", ".cpp.elf"), 6);
  EXPECT_EQ(find(1, "BLINK.CPP.ELF", ".cpp.elf"), 0);  // letter case counts
  EXPECT_EQ(find(2, "abab", "ab"), 3);
  EXPECT_EQ(find(4, "abab", "b"), 4);
  EXPECT_EQ(find(1, "a=b=c", "="), 2);
  EXPECT_EQ(find(1, "a\0=b"s, "="), 3);
}

TEST(Find, GivesZeroForEmptyTextsAndStartOutOfRange) {
  EXPECT_EQ(find(1, "abc", ""), 0);
  EXPECT_EQ(find(1, "", "a"), 0);
  EXPECT_EQ(find(0, "abc", "a"), 0);
  EXPECT_EQ(find(-5, "abc", "a"), 0);
  EXPECT_EQ(find(4, "abc", "c"), 0);
  EXPECT_EQ(find(1, "ab", "abc"), 0);
}

TEST(MiddleAndLeft, KeepWithinTheText) {
  EXPECT_EQ(middle("abc", 1), "abc");
  EXPECT_EQ(middle("abc", 3), "c");
  EXPECT_EQ(middle("abc", 4), "");
  EXPECT_EQ(middle("abc", 0), "");
  EXPECT_EQ(middle("", 1), "");
  EXPECT_EQ(left("abc", 2), "ab");
  EXPECT_EQ(left("abc", 9), "abc");
  EXPECT_EQ(left("abc", 0), "");
  EXPECT_EQ(left("abc", -1), "");
}

TEST(Length, CountsEveryByte) {
  EXPECT_EQ(length(""), 0);
  EXPECT_EQ(length("a\0b"s), 3);
}

}  // namespace
}  // namespace platform
