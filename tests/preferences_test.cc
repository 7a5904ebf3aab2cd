// Reading the IDE's preferences: what build directory and sketchbook a
// preferences file gives. The build directory shows in the message for a
// build directory without an ELF file.
#include "scenario.h"

namespace scenario {
namespace {

class BuildDirTest : public Scenario {
 protected:
  // The build directory that the program takes from the preferences lines.
  std::string build_dir_from(const std::vector<std::string>& lines) {
    write_preferences(lines);
    Outcome outcome = machine().run_program(user_call());
    const std::string head = "**ERROR** Can not find '*.elf' file in build directory:\r\n";
    EXPECT_EQ(kFailed, outcome.status);
    if (outcome.out.compare(0, head.size(), head) != 0) return "(" + outcome.out + ")";
    std::string rest = outcome.out.substr(head.size());
    return rest.size() >= 2 ? rest.substr(0, rest.size() - 2) : rest;
  }
};

TEST_P(BuildDirTest, KeysInAnyCaseAndValuesLowerCased) {
  EXPECT_EQ("c:\\temp\\builds\\", build_dir_from({"  Build.Path=C:\\Temp\\Builds  "}));
  EXPECT_EQ("c:\\temp\\builds\\", build_dir_from({"BUILD.PATH=C:\\TEMP\\BUILDS"}));
}

TEST_P(BuildDirTest, SpacesAroundTheEqualsSignAndInsideTheValue) {
  EXPECT_EQ("c:\\build\\dir\\", build_dir_from({"build.path = C:\\Build\\Dir"}));
  EXPECT_EQ("c:\\my builds\\a b\\", build_dir_from({"build.path=C:\\My Builds\\A B"}));
}

TEST_P(BuildDirTest, TheLaterOfTwoLinesWins) {
  EXPECT_EQ("c:\\second\\", build_dir_from({"build.path=C:\\First", "editor.tabs=2",
                                            "build.path=C:\\Second", "other=1"}));
}

TEST_P(BuildDirTest, ShortBuildPathsAreTaken) {
  EXPECT_EQ("d:\\b\\", build_dir_from({"build.path=D:\\b"}));
  EXPECT_EQ("c:\\b\\xyz\\", build_dir_from({"build.path=c:\\b\\xyz"}));
}

TEST_P(BuildDirTest, LinesAreSplitAtLfAndCrLf) {
  write(kPrefs, "a=1\nbuild.path=C:\\One\r\nsketchbook.path=C:\\Book\nlast=2");
  Outcome outcome = machine().run_program(user_call());
  EXPECT_EQ(
      harness::crlf_lines({"**ERROR** Can not find '*.elf' file in build directory:", "c:\\one\\"}),
      outcome.out);
}

TEST_P(BuildDirTest, AKeyThatOnlyBeginsWithBuildPathStillCounts) {
  EXPECT_EQ("x\\", build_dir_from({"build.path=C:\\Real", "build.path.extra=x"}));
}

TEST_P(BuildDirTest, AByteOrderMarkHidesOnlyTheFirstLine) {
  EXPECT_EQ("c:\\second\\", build_dir_from({"\xEF\xBB\xBF"
                                            "build.path=C:\\First",
                                            "build.path=C:\\Second"}));
}

TEST_P(BuildDirTest, TextAfterCtrlZIsNeverRead) {
  write(kPrefs,
        "build.path=C:\\Before\r\n\x1a"
        "build.path=C:\\After\r\n");
  Outcome outcome = machine().run_program(user_call());
  EXPECT_EQ(harness::crlf_lines(
                {"**ERROR** Can not find '*.elf' file in build directory:", "c:\\before\\"}),
            outcome.out);
}

RUN_ON_BOTH_MACHINES(BuildDirTest);

}  // namespace
}  // namespace scenario
