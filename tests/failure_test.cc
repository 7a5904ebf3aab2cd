// Every failure block, byte for byte, with standard output redirected; each
// ends with status -1 and, without a console, no wait.
#include "scenario.h"

namespace scenario {
namespace {

using FailureTest = Scenario;

std::vector<std::string> build_path_block(const std::string& home_prefix,
                                          const std::string& prefs) {
  return {
      "**ERROR** This program requires that the 'build.path' is specified",
      "          in the user's Ardunio preferences file. Please set up a",
      "          directory for builds and add it to your preferences file.",
      "  Example:",
      "          build.path=" + home_prefix + "Documents\\Arduino\\Build",
      "",
      "          Please also set preproc.save_build_files to true.",
      "",
      "Your Ardunio preferences file is:",
      prefs,
  };
}

TEST_P(FailureTest, PreferencesFileMissing) {
  Outcome outcome = machine().run_program(user_call());
  EXPECT_EQ(harness::crlf_lines({"**ERROR** Can not find Ardunio preferences file:", kPrefs}),
            outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
}

TEST_P(FailureTest, PreferencesFileWithoutAppData) {
  Call call = user_call();
  call.environment[0].second.reset();  // AppData unset
  Outcome outcome = machine().run_program(call);
  EXPECT_EQ(harness::crlf_lines(
                {"**ERROR** Can not find Ardunio preferences file:", "\\Arduino\\preferences.txt"}),
            outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
}

TEST_P(FailureTest, PreferencesFileIsADirectory) {
  harness::make_dirs(host(kPrefs));
  Outcome outcome = machine().run_program(user_call());
  EXPECT_EQ(harness::crlf_lines({"**ERROR** Can not find Ardunio preferences file:", kPrefs}),
            outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
}

TEST_P(FailureTest, PreferencesFileCannotBeOpened) {
  write_preferences({"build.path=C:\\tolvane-test\\build"});
  Call call = user_call();
  Outcome outcome;
  if (on_windows()) {
    // Held open by another process that shares nothing.
    call.arguments = {"none", kPrefs, machine().program()};
    outcome = machine().run_probe("hold_and_run", call);
  } else {
    chmod(host(kPrefs).c_str(), 0);
    call.unprivileged = true;
    outcome = machine().run_program(call);
  }
  EXPECT_EQ(harness::crlf_lines({"**Error** opening Ardunio preferences file:", kPrefs}),
            outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
}

TEST_P(FailureTest, BuildPathMissingOrEmpty) {
  const std::vector<std::vector<std::string>> files = {
      {},
      {"sketchbook.path=C:\\tolvane-test\\book"},
      {"build.path="},
      {"build.path=   "},
      {"build.path"},
      {"build.pathway"},
      {"\tbuild.path=C:\\tolvane-test\\build"},  // a tab is not trimmed
      {"\xEF\xBB\xBF"
       "build.path=C:\\tolvane-test\\build"},  // nor is a byte-order mark
  };
  for (const std::vector<std::string>& lines : files) {
    write_preferences(lines);
    Outcome outcome = machine().run_program(user_call());
    EXPECT_EQ(harness::crlf_lines(build_path_block("C:\\tolvane-test\\home\\", kPrefs)),
              outcome.out)
        << (lines.empty() ? "(empty file)" : lines[0]);
    EXPECT_EQ(kFailed, outcome.status);
  }
}

TEST_P(FailureTest, BuildPathBlockWithoutHomeVariables) {
  write_preferences({"build.path="});
  Call call = user_call();
  call.environment = {{"AppData", std::string(kAppData)}, {"HomeDrive", {}}, {"HomePath", {}}};
  Outcome outcome = machine().run_program(call);
  EXPECT_EQ(harness::crlf_lines(build_path_block("\\", kPrefs)), outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
}

TEST_P(FailureTest, NoElfFileInTheBuildDirectory) {
  write_preferences({"build.path=C:\\tolvane-test\\build"});
  write(std::string(kBuild) + "\\blink.cpp.hex", "");
  harness::make_dirs(host(std::string(kBuild) + "\\folder.elf"));
  Outcome outcome = machine().run_program(user_call());
  EXPECT_EQ(harness::crlf_lines({"**ERROR** Can not find '*.elf' file in build directory:",
                                 "c:\\tolvane-test\\build\\"}),
            outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
}

TEST_P(FailureTest, NoObjdumpAtAnyLocation) {
  typical_setup();
  harness::remove_tree(host("C:\\Program Files\\Arduino"));
  // avr-readelf alone is not enough.
  write(std::string(kToolDirs[2]) + "\\avr-readelf.exe", "");
  Outcome outcome = machine().run_program(user_call());
  EXPECT_EQ(harness::crlf_lines({
                "**ERROR** Can not find 'avr-objdump.exe'.",
                "Searched:",
                "    C:\\Program Files (x86)\\Arduino\\hardware\\tools\\avr\\bin\\",
                "    C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\",
                "    C:\\Arduino\\hardware\\tools\\avr\\bin\\",
                "    C:\\bin\\Arduino\\hardware\\tools\\avr\\bin\\",
            }),
            outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
}

TEST_P(FailureTest, FailAndWaitPrintsTheLinesAndEndsWithMinusOne) {
  Call call;
  call.arguments = {"fail", "first line", "", "last line"};
  Outcome outcome = machine().run_probe("console_probe", call);
  EXPECT_EQ("first line\r\n\r\nlast line\r\n", outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
  if (on_windows()) {
    EXPECT_EQ("-1\r\n", outcome.windows_status);  // all 32 bits set
  }

  call.arguments = {"print", "only line"};
  outcome = machine().run_probe("console_probe", call);
  EXPECT_EQ("only line\r\n", outcome.out);
  EXPECT_EQ(0, outcome.status);
}

RUN_ON_BOTH_MACHINES(FailureTest);

}  // namespace
}  // namespace scenario
