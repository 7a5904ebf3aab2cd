// Taking command-script lines apart.
#include "platform/posix/script_line.h"

#include <gtest/gtest.h>

namespace platform::posix {
namespace {

using Words = std::vector<std::string>;
using Redirections = std::vector<Redirection>;

TEST(ParseScriptLine, TheProgramsOwnToolLine) {
  ScriptLine line = parse_script_line(
      "\"C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\avr-objdump.exe\" -S "
      "\"c:\\temp\\builds\\blink.cpp.elf\" > \"C:\\My Sketches\\blink\\blink.asm.txt\"");
  EXPECT_EQ(line.words,
            (Words{"C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\avr-objdump.exe", "-S",
                   "c:\\temp\\builds\\blink.cpp.elf"}));
  EXPECT_EQ(line.redirections, (Redirections{{"C:\\My Sketches\\blink\\blink.asm.txt", false}}));
  EXPECT_FALSE(line.missing_target);
}

TEST(ParseScriptLine, Quoting) {
  EXPECT_EQ(parse_script_line("prog \"\" x").words, (Words{"prog", "", "x"}));
  EXPECT_EQ(parse_script_line("a\"b c\"d").words, (Words{"ab cd"}));
  EXPECT_EQ(parse_script_line("prog \"a > b").words, (Words{"prog", "a > b"}));
  EXPECT_EQ(parse_script_line(" \t prog\t\targ  ").words, (Words{"prog", "arg"}));
}

TEST(ParseScriptLine, Redirections) {
  ScriptLine append = parse_script_line("prog >>log.txt arg");
  EXPECT_EQ(append.words, (Words{"prog", "arg"}));
  EXPECT_EQ(append.redirections, (Redirections{{"log.txt", true}}));

  ScriptLine joined = parse_script_line("prog>out>>\"a b\"");
  EXPECT_EQ(joined.words, Words{"prog"});
  EXPECT_EQ(joined.redirections, (Redirections{{"out", false}, {"a b", true}}));

  ScriptLine alone = parse_script_line("> made.txt");
  EXPECT_TRUE(alone.words.empty());
  EXPECT_EQ(alone.redirections, (Redirections{{"made.txt", false}}));

  EXPECT_TRUE(parse_script_line("prog >").missing_target);
  EXPECT_TRUE(parse_script_line("prog > > x").missing_target);
}

TEST(ParseScriptLine, DoublePercentIsOnePercent) {
  ScriptLine line = parse_script_line("prog 100%% \"%%%%x\" % > \"c:\\50%%\\o.txt\"");
  EXPECT_EQ(line.words, (Words{"prog", "100%", "%%x", "%"}));
  EXPECT_EQ(line.redirections, (Redirections{{"c:\\50%\\o.txt", false}}));
}

TEST(ParseScriptLine, BlankLinesHoldNothing) {
  for (const char* text : {"", "   ", "\t"}) {
    ScriptLine line = parse_script_line(text);
    EXPECT_TRUE(line.words.empty());
    EXPECT_TRUE(line.redirections.empty());
  }
}

TEST(ScriptPathOf, OneOuterPairOfQuotesGoes) {
  EXPECT_EQ(script_path_of("\"\"C:\\My Sketches (old)\\blink_dump.cmd\"\""),
            "C:\\My Sketches (old)\\blink_dump.cmd");
  EXPECT_EQ(script_path_of("\"c:\\temp\\x.cmd\""), "c:\\temp\\x.cmd");
  EXPECT_EQ(script_path_of("c:\\temp\\x.cmd arg"), "c:\\temp\\x.cmd");
  EXPECT_EQ(script_path_of("\"\"c:\\100%\\x.cmd\"\""), "c:\\100%\\x.cmd");
  EXPECT_EQ(script_path_of(""), "");
}

std::string lookup(const std::string& name) {
  if (name == "SCRIPT") return "c:\\%path%\\x.cmd";
  if (name == "EMPTY") return "";
  return name == "path" ? "/usr/bin" : "";
}

TEST(ExpandVariables, ReplacesSetVariablesOnceAndLeavesEveryOtherPercent) {
  EXPECT_EQ("a /usr/bin b", expand_variables("a %path% b", lookup));
  EXPECT_EQ("100% and 50%", expand_variables("100% and 50%", lookup));
  EXPECT_EQ("%unset%", expand_variables("%unset%", lookup));
  EXPECT_EQ("%EMPTY%", expand_variables("%EMPTY%", lookup));
  EXPECT_EQ("%%", expand_variables("%%", lookup));
  EXPECT_EQ("%unset/usr/bin", expand_variables("%unset%path%", lookup));
  // A value is not expanded again.
  EXPECT_EQ("\"c:\\%path%\\x.cmd\"", expand_variables("\"%SCRIPT%\"", lookup));
}

TEST(ScriptPathOf, TakesThePathFromAVariable) {
  EXPECT_EQ("c:\\%path%\\x.cmd", script_path_of("\"\"%SCRIPT%\"\"", lookup));
}

TEST(IsExitLine, ExitInAnyCaseWithBlanksAround) {
  EXPECT_TRUE(is_exit_line("exit"));
  EXPECT_TRUE(is_exit_line("  EXIT\t"));
  EXPECT_TRUE(is_exit_line("Exit"));
  EXPECT_FALSE(is_exit_line("exit 1"));
  EXPECT_FALSE(is_exit_line("exited"));
  EXPECT_FALSE(is_exit_line(""));
}

}  // namespace
}  // namespace platform::posix
