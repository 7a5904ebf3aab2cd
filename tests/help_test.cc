// The command line: any argument text prints the help text and ends with 0.
#include "scenario.h"

namespace scenario {
namespace {

const std::string kHelp = harness::crlf_lines({
    "Tolvane.exe is a small program written in Brakka to automate the",
    "process of creating dume files from the elf file produced by the Ardunio IDE.",
    "The program attempts to write a CMD file to the project directory and execute",
    "it. The CMD file allows the Avr-ObjDump and/or Avr-readelf options to be",
    "edited as desired. The dump files are also placed in the project directory. ",
    "",
    "This program requires that 'build.path' be specified in the user's Ardunio",
    "preferences file. Please set up a directory for builds and add it to your ",
    "preferences file.Please also set preproc.save_build_files to true.",
    "",
    "The program searches the following directories for Avr-ObjDump & Avr-readelf:",
    "    C:\\Program Files (x86)\\Arduino\\hardware\\tools\\avr\\bin\\",
    "    C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\",
    "    C:\\Arduino\\hardware\\tools\\avr\\bin\\",
    "    C:\\bin\\Arduino\\hardware\\tools\\avr\\bin\\",
    "",
    "The program searches the following directories for project directory:",
    "    Sketchbook (as defined in Arduino preferences file)",
    "    <users home path>\\Documents\\Arduino",
    "    <users home path>\\My Documents\\Arduino",
    "    <users home path>\\Documents\\Projects",
    "    <users home path>\\My Documents\\Projects",
    "If project directory can be found then the CMD file is written to the build",
    "is written to the build directory.",
    "",
    "There are no command line options.",
    "",
    "",
});

using HelpTest = Scenario;

TEST_P(HelpTest, AnyArgumentTextPrintsTheHelpWithoutReadingAnything) {
  typical_setup();  // a complete setup, which the help path must not touch
  const harness::Tree before = harness::snapshot(host(kArea));
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"x"}, {"-h"}, {"/?"}, {"--help", "me"}, {"", ""}}) {
    Call call = user_call();
    call.arguments = arguments;
    Outcome outcome = machine().run_program(call);
    EXPECT_EQ(kHelp, outcome.out) << arguments.size() << " arguments";
    EXPECT_EQ(0, outcome.status);
  }
  EXPECT_EQ(before, harness::snapshot(host(kArea)));
}

TEST_P(HelpTest, WildcardArgumentsPrintTheHelpWhetherTheyMatchOrNot) {
  write(std::string(kArea) + "\\one.elf", "x");
  for (const char* pattern : {"*.elf", "*.nothing"}) {
    Call call = user_call();
    call.arguments = {pattern};
    Outcome outcome = machine().run_program(call);
    EXPECT_EQ(kHelp, outcome.out) << pattern;
    EXPECT_EQ(0, outcome.status);
  }
}

TEST_P(HelpTest, NoArgumentOrOneEmptyArgumentRunsTheJob) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{}, {""}}) {
    Call call = user_call();
    call.arguments = arguments;
    Outcome outcome = machine().run_program(call);
    EXPECT_EQ(harness::crlf_lines(
                  {"**ERROR** Can not find Ardunio preferences file:", std::string(kPrefs)}),
              outcome.out);
    EXPECT_EQ(kFailed, outcome.status);
  }
}

RUN_ON_BOTH_MACHINES(HelpTest);

}  // namespace
}  // namespace scenario
