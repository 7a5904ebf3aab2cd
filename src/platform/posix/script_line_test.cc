// Taking command-script lines apart.
#include "platform/posix/script_line.h"

#include <gtest/gtest.h>

namespace platform::posix {
namespace {

using Words = std::vector<std::string>;

TEST(ScriptLine, TakesLinesApart) {
  const struct {
    const char* line;
    Words words;
    std::vector<Redirection> redirections;
    bool missing_target;
  } kCases[] = {
      // clang-format off
      {"\"C:\\Program Files\\avr-objdump.exe\" -S \"c:\\b\\x.elf\" > \"C:\\My (1)\\x.asm.txt\"",
       {"C:\\Program Files\\avr-objdump.exe", "-S", "c:\\b\\x.elf"}, {{"C:\\My (1)\\x.asm.txt", false}}, false},
      {"prog \"\" x", {"prog", "", "x"}, {}, false}, {"a\"b c\"d", {"ab cd"}, {}, false},
      {"prog \"a > b", {"prog", "a > b"}, {}, false}, {" \t prog\t\targ  ", {"prog", "arg"}, {}, false},
      {"prog >>log.txt arg", {"prog", "arg"}, {{"log.txt", true}}, false},
      {"prog>out>>\"a b\"", {"prog"}, {{"out", false}, {"a b", true}}, false},
      {"> made.txt", {}, {{"made.txt", false}}, false}, {"prog x>", {"prog", "x"}, {}, true},
      {"prog > > x", {"prog"}, {{"x", false}}, true}, {"  \t", {}, {}, false},
      {"prog 100%% \"%%%%x\" % > \"c:\\50%%\\o.txt\"", {"prog", "100%", "%%x", "%"}, {{"c:\\50%\\o.txt", false}}, false},
      // clang-format on
  };
  for (const auto& c : kCases) {
    const ScriptLine line = parse_script_line(c.line);
    EXPECT_EQ(c.words, line.words) << c.line;
    EXPECT_EQ(c.redirections, line.redirections) << c.line;
    EXPECT_EQ(c.missing_target, line.missing_target) << c.line;
  }
}

TEST(ScriptLine, FindsTheScriptPathAndTheExitLine) {
  const VariableLookup lookup = [](const std::string& name) {
    return name == "S" ? std::string("C:\\a b\\%x%_dump.cmd") : name == "V" ? "v" : std::string();
  };
  const struct {
    const char* command;
    std::string path;
  } kCases[] = {{"\"\"%S%\"\"", "C:\\a b\\%x%_dump.cmd"},
                {"\"\"C:\\a (b)\\x.cmd\"\"", "C:\\a (b)\\x.cmd"},
                {"\"C:\\a\\x.cmd\" y", "C:\\a\\x.cmd"},
                {"%S", "%S"},
                {"%V%x", "vx"},
                {"%%S%", "%C:\\a"},
                {"%T%S%", "%TC:\\a"},
                {"\"", ""},
                {"", ""}};
  for (const auto& c : kCases) EXPECT_EQ(c.path, script_path_of(c.command, lookup)) << c.command;
  for (const char* line : {"exit", " EXIT\t", "Exit "}) EXPECT_TRUE(is_exit_line(line)) << line;
  for (const char* line : {"exit /b", "xexit", ""}) EXPECT_FALSE(is_exit_line(line)) << line;
}

}  // namespace
}  // namespace platform::posix
