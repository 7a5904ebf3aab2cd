// The pure parts of the program: the command-line text, the help text, the
// values cut from preferences lines and ELF names, and the script's text.
#include <gtest/gtest.h>

#include "app/driver.h"
#include "app/dump_script.h"
#include "app/preferences.h"
#include "app/sketch.h"

namespace tolvane {
namespace {

TEST(CommandLineText, EmptyOnlyWithoutArgumentText) {
  EXPECT_EQ("", command_line_text({}));
  EXPECT_EQ("", command_line_text({""}));
  EXPECT_EQ(" ", command_line_text({"", ""}));
  EXPECT_EQ("-h x y z", command_line_text({"-h", "x", "y z"}));
}

TEST(HelpText, HasItsTwentySevenLinesEachEndedByCrLf) {
  Text text = help_text();
  int lines = 0;
  for (size_t at = 0; (at = text.find("\r\n", at)) != Text::npos; at += 2) ++lines;
  EXPECT_EQ(27, lines);
  EXPECT_EQ("\r\n", text.substr(text.size() - 4, 2));  // line 27 is empty
  for (size_t at = 0; (at = text.find('\n', at)) != Text::npos; ++at) {
    EXPECT_EQ('\r', text[at - 1]) << "a bare LF at " << at;
  }
  EXPECT_NE(Text::npos, text.find("Avr-readelf:\r\n    C:\\Program Files (x86)\\Arduino\\hardware"
                                  "\\tools\\avr\\bin\\\r\n    C:\\Program Files\\"));
  EXPECT_NE(Text::npos, text.find("    C:\\bin\\Arduino\\hardware\\tools\\avr\\bin\\\r\n\r\n"));
}

TEST(PreferenceValue, IsTheTrimmedTextAfterTheFirstEqualsSign) {
  EXPECT_EQ("c:\\build\\dir", preference_value("build.path = c:\\build\\dir  "));
  EXPECT_EQ("a=b", preference_value("key=a=b"));
  EXPECT_EQ("", preference_value("build.path=   "));
  EXPECT_EQ("build.path", preference_value("build.path"));
  EXPECT_EQ("\tx", preference_value("k=\tx"));  // only spaces are trimmed
}

TEST(SketchName, IsCutBeforeTheFirstCppElfEnding) {
  EXPECT_EQ("blink", sketch_name_of("blink.cpp.elf"));
  EXPECT_EQ("my blink", sketch_name_of("  my blink .cpp.elf"));
  EXPECT_EQ("a", sketch_name_of("a.cpp.elf.cpp.elf"));
  EXPECT_EQ("", sketch_name_of("BLINK.CPP.ELF"));  // the ending is matched in its case
  EXPECT_EQ("", sketch_name_of("blink.ino.elf"));
  EXPECT_EQ("", sketch_name_of(".cpp.elf"));
}

RunRecord typical_run() {
  RunRecord run;
  run.objdump_path = "C:\\Arduino\\hardware\\tools\\avr\\bin\\avr-objdump.exe";
  run.readelf_path = "C:\\Arduino\\hardware\\tools\\avr\\bin\\avr-readelf.exe";
  run.build_dir = "c:\\builds\\";
  run.elf_name = "blink.cpp.elf";
  run.output_dir = "c:\\book\\blink\\";
  run.sketch_name = "blink";
  return run;
}

TEST(ScriptLines, RunBothToolsThenStopBeforeTheReference) {
  std::vector<Text> lines = script_lines(typical_run());
  ASSERT_EQ(47u, lines.size());
  EXPECT_EQ(
      "\"C:\\Arduino\\hardware\\tools\\avr\\bin\\avr-objdump.exe\" -S \"c:\\builds\\blink.cpp.elf\""
      " > \"c:\\book\\blink\\blink.asm.txt\"",
      lines[0]);
  EXPECT_EQ(
      "\"C:\\Arduino\\hardware\\tools\\avr\\bin\\avr-readelf.exe\" -e \"c:\\builds\\blink.cpp.elf\""
      " > \"c:\\book\\blink\\blink.hrd.txt\"",
      lines[1]);
  EXPECT_EQ("exit", lines[4]);
  EXPECT_EQ("avr-objdump", lines[6]);
  EXPECT_EQ("  -a, --archive-headers    Display archive header information", lines[8]);
  EXPECT_EQ("  -R, --dynamic-reloc      Display the dynamic relocation entries in the file",
            lines[24]);
  EXPECT_EQ("readelf", lines[28]);
  EXPECT_EQ("  -D --use-dynamic       Use the dynamic section info when displaying symbols",
            lines[45]);
  EXPECT_EQ("", lines[46]);
}

TEST(ScriptLines, DoubleEveryPercentSignOfAPath) {
  RunRecord run = typical_run();
  run.build_dir = "c:\\100%\\";
  run.output_dir = "c:\\%path%\\";
  std::vector<Text> lines = script_lines(run);
  EXPECT_EQ(
      "\"C:\\Arduino\\hardware\\tools\\avr\\bin\\avr-objdump.exe\" -S \"c:\\100%%\\blink.cpp.elf\""
      " > \"c:\\%%path%%\\blink.asm.txt\"",
      lines[0]);
}

TEST(ScriptCommand, NamesTheScriptThroughAVariableInsideTwoPairsOfQuotes) {
  EXPECT_EQ("\"\"%TOLVANE_DUMP_SCRIPT%\"\"", script_command());
  EXPECT_STREQ("TOLVANE_DUMP_SCRIPT", kScriptVariable);
}

}  // namespace
}  // namespace tolvane
