// Text operations and wildcards shared by every platform.
#include <gtest/gtest.h>

#include "platform/byte_rules.h"

namespace platform {
namespace {

TEST(IsUtf8, TakesWellFormedUtf8Only) {
  const struct {
    std::string text;
    bool well_formed;
  } kCases[] = {
      // clang-format off
      {"", true}, {std::string("a\0b", 3), true}, {"Zo\xC3\xAB", true}, {"\xE2\x82\xAC", true},
      {"\xED\x9F\xBF", true}, {"\xF0\x90\x80\x80", true}, {"\xF4\x8F\xBF\xBF", true}, {"Zo\xEB", false},
      {"\xC3", false}, {"\x80", false}, {"\xC1\xBF", false}, {"\xE0\x9F\xBF", false},
      {"\xED\xA0\x80", false}, {"\xF0\x8F\xBF\xBF", false}, {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false},
      {"\xE2\x82", false}, {"\xE2\x28\xAC", false}, {"\xF0\x90\x80\x28", false},
      // clang-format on
  };
  for (const auto& c : kCases) EXPECT_EQ(c.well_formed, is_utf8(c.text)) << c.text;
}

TEST(WildcardMatch, InAnyLetterCase) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } kCases[] = {
      // clang-format off
      {"*.elf", "Blink.cpp.ELF", true}, {"*.elf", ".elf", true}, {"*.elf", "x.elf2", false}, {"*.elf", "x.el", false},
      {"?.ino", "a.ino", true}, {"?.ino", "ab.ino", false}, {"a*b*c", "aXbYbZc", true}, {"a*b", "aXbX", false},
      {"*", "", true}, {"**x**", "x", true}, {"", "x", false}, {"[Z]", "[z]", true}, {"@", "`", false}, {"a*", "A", true},
      // clang-format on
  };
  for (const auto& c : kCases)
    EXPECT_EQ(c.matches, wildcard_match(c.pattern, c.name)) << c.pattern << " " << c.name;
}

}  // namespace
}  // namespace platform
