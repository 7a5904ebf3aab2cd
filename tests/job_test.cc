// The whole job: the script written where the sketch lives, run, and the
// real tools' listings beside it.
#include <sys/stat.h>

#include "scenario.h"

namespace scenario {
namespace {

const std::string kElf = "c:\\tolvane-test\\build\\blink.cpp.elf";

std::string tool(int location, const char* name) {
  return std::string(kToolDirs[location]) + "\\" + name + ".exe";
}

class JobTest : public Scenario {
 protected:
  // The script that the typical setup gets, with its output in |output_dir|
  // (empty or ending with "\") and the tools at |location|.
  std::string script_for(const std::string& output_dir, const std::string& sketch = "blink",
                         int location = 1, const std::string& elf = kElf) {
    return expected_script(tool(location, "avr-objdump"), tool(location, "avr-readelf"), elf,
                           output_dir + sketch);
  }

  // Runs the program and checks that it completed, printing nothing itself.
  void run_job(const Call& call) {
    Outcome outcome = machine().run_program(call);
    EXPECT_EQ(0, outcome.status);
    expect_only_interpreter_echo(outcome, call);
  }

  // Checks the script and both real listings in |output_dir|.
  void expect_output(const std::string& output_dir, const std::string& script,
                     const std::string& sketch = "blink") {
    EXPECT_EQ(script, read(output_dir + sketch + "_dump.cmd"));
    EXPECT_NE(std::string::npos, read(output_dir + sketch + ".asm.txt").find("<main>:"));
    EXPECT_NE(std::string::npos, read(output_dir + sketch + ".hrd.txt").find("ELF Header:"));
  }
};

TEST_P(JobTest, TypicalRunWritesTheScriptAndBothListingsBesideTheSketch) {
  typical_setup();
  harness::Tree before = harness::snapshot(host(kArea));
  run_job(user_call());

  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\blink\\";
  expect_output(out_dir, script_for(out_dir));
  // Nothing else in the tree changed.
  harness::Tree after = harness::snapshot(host(kArea));
  for (const char* name : {"blink_dump.cmd", "blink.asm.txt", "blink.hrd.txt"}) {
    EXPECT_EQ(1u, after.erase(std::string("book/sketches/blink/") + name)) << name;
  }
  EXPECT_EQ(before, after);
}

TEST_P(JobTest, EachCandidateDirectoryWinsWhenItAloneHoldsTheSource) {
  const std::string home = "C:\\tolvane-test\\home\\";
  const std::vector<std::string> candidates = {
      "c:\\tolvane-test\\book\\sketches\\blink\\", "c:\\tolvane-test\\book\\blink\\",
      home + "Documents\\Projects\\blink\\",       home + "My Documents\\Projects\\blink\\",
      home + "Documents\\Arduino\\blink\\",        home + "My Documents\\Arduino\\blink\\",
  };
  for (const std::string& candidate : candidates) {
    ASSERT_NO_FATAL_FAILURE(reset());
    typical_setup();
    harness::remove_tree(host(std::string(kBook) + "\\sketches"));
    place_source(candidate.substr(0, candidate.size() - 1), "blink");
    run_job(user_call());
    expect_output(candidate, script_for(candidate));
  }
}

TEST_P(JobTest, TheEarlierOfTwoCandidatesWins) {
  typical_setup();
  harness::remove_tree(host(std::string(kBook) + "\\sketches"));
  place_source(std::string(kHome) + "\\Documents\\Arduino\\blink", "blink");
  place_source(std::string(kHome) + "\\Documents\\Projects\\blink", "blink");
  run_job(user_call());
  const std::string projects = "C:\\tolvane-test\\home\\Documents\\Projects\\blink\\";
  expect_output(projects, script_for(projects));
  EXPECT_FALSE(exists(std::string(kHome) + "\\Documents\\Arduino\\blink\\blink_dump.cmd"));
}

TEST_P(JobTest, WithoutASourceAnywhereTheBuildDirectoryReceivesTheOutput) {
  typical_setup();
  harness::remove_tree(host(std::string(kBook) + "\\sketches"));
  run_job(user_call());
  const std::string build = "c:\\tolvane-test\\build\\";
  expect_output(build, script_for(build));
}

TEST_P(JobTest, WithoutASketchbookTheSourceInTheCurrentDirectoryWins) {
  typical_setup();
  write_preferences({"build.path=C:\\tolvane-test\\build"});
  const std::string cwd = "C:\\tolvane-test\\cwd";
  place_source(cwd, "blink");
  Call call = user_call();
  call.directory = cwd;
  run_job(call);
  // Relative names: the script and listings land in the current directory.
  EXPECT_EQ(script_for(""), read(cwd + "\\blink_dump.cmd"));
  EXPECT_NE(std::string::npos, read(cwd + "\\blink.asm.txt").find("<main>:"));
  EXPECT_NE(std::string::npos, read(cwd + "\\blink.hrd.txt").find("ELF Header:"));
}

TEST_P(JobTest, ElfNamesWithoutTheCppEndingGiveAnEmptySketchName) {
  for (const char* elf : {"blink.ino.elf", "BLINK.CPP.ELF"}) {
    ASSERT_NO_FATAL_FAILURE(reset());
    typical_setup();
    harness::remove_tree(host(kBuild));
    place_elf(kBuild, elf);
    run_job(user_call());
    const std::string build = "c:\\tolvane-test\\build\\";
    expect_output(build, script_for(build, "", 1, build + elf), "");
  }
}

TEST_P(JobTest, ASketchNameWithSpacesStaysWhole) {
  typical_setup();
  harness::remove_tree(host(kBuild));
  place_elf(kBuild, "my blink.cpp.elf");
  place_source(std::string(kBook) + "\\sketches\\my blink", "my blink");
  run_job(user_call());
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\my blink\\";
  expect_output(out_dir,
                script_for(out_dir, "my blink", 1, "c:\\tolvane-test\\build\\my blink.cpp.elf"),
                "my blink");
}

TEST_P(JobTest, TheLastToolLocationPresentIsUsed) {
  const std::vector<std::vector<int>> layouts = {{0}, {0, 2}, {1, 3}, {0, 1, 2, 3}};
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\blink\\";
  for (const std::vector<int>& present : layouts) {
    ASSERT_NO_FATAL_FAILURE(reset());
    typical_setup();
    harness::remove_tree(host("C:\\Program Files\\Arduino"));
    for (int location : present) machine().install_tools(kToolDirs[location]);
    run_job(user_call());
    expect_output(out_dir, script_for(out_dir, "blink", present.back()));
  }
}

TEST_P(JobTest, AnExistingScriptIsReplacedWhole) {
  typical_setup();
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\blink\\";
  write(out_dir + "blink_dump.cmd", std::string(20000, 'x'));
  run_job(user_call());
  expect_output(out_dir, script_for(out_dir));
}

TEST_P(JobTest, ASecondRunByHandOverwritesBothListings) {
  typical_setup();
  run_job(user_call());
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\blink\\";
  const std::string listing = read(out_dir + "blink.asm.txt");
  const std::string headers = read(out_dir + "blink.hrd.txt");
  write(out_dir + "blink.asm.txt", "stale");
  write(out_dir + "blink.hrd.txt", std::string(100000, 's'));

  Outcome outcome = machine().run_script(out_dir + "blink_dump.cmd", user_call());
  EXPECT_EQ(0, outcome.status);
  EXPECT_EQ(listing, read(out_dir + "blink.asm.txt"));
  EXPECT_EQ(headers, read(out_dir + "blink.hrd.txt"));
}

TEST_P(JobTest, AScriptThatCannotBeReplacedRunsAsItIs) {
  typical_setup();
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\blink\\";
  const std::string own_script = "\"" + tool(1, "avr-readelf") + "\" -h \"" + kElf + "\" > \"" +
                                 out_dir + "mine.txt\"\r\nexit\r\n";
  write(out_dir + "blink_dump.cmd", own_script);
  Call call = user_call();
  Outcome outcome;
  if (on_windows()) {
    // Another program holds the script open for reading only.
    call.arguments = {"read", out_dir + "blink_dump.cmd", machine().program()};
    outcome = machine().run_probe("hold_and_run", call);
  } else {
    chmod(host(out_dir + "blink_dump.cmd").c_str(), 0444);
    outcome = machine().run_program(call);
  }
  EXPECT_EQ(0, outcome.status);
  EXPECT_EQ(own_script, read(out_dir + "blink_dump.cmd"));
  EXPECT_NE(std::string::npos, read(out_dir + "mine.txt").find("ELF Header:"));
  EXPECT_FALSE(exists(out_dir + "blink.asm.txt"));
}

TEST_P(JobTest, AScriptThatCannotBeWrittenIsReportedAndNothingRuns) {
  typical_setup();
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\blink\\";
  // A folder stands where the script should go.
  harness::make_dirs(host(out_dir + "blink_dump.cmd"));
  Outcome outcome = machine().run_program(user_call());
  EXPECT_EQ(
      harness::crlf_lines({"**ERROR** Can not write the dump script:", out_dir + "blink_dump.cmd"}),
      outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
  EXPECT_FALSE(exists(out_dir + "blink.asm.txt"));
  EXPECT_FALSE(exists(out_dir + "blink.hrd.txt"));
}

TEST_P(JobTest, AnOutputFolderThatCannotBeWrittenIsReported) {
  if (on_windows()) GTEST_SKIP() << "Wine run as root writes into read-only folders";
  typical_setup();
  const std::string out_dir = "c:\\tolvane-test\\book\\sketches\\blink\\";
  chmod(host(out_dir).c_str(), 0555);
  Call call = user_call();
  call.unprivileged = true;
  Outcome outcome = machine().run_program(call);
  EXPECT_EQ(
      harness::crlf_lines({"**ERROR** Can not write the dump script:", out_dir + "blink_dump.cmd"}),
      outcome.out);
  EXPECT_EQ(kFailed, outcome.status);
  EXPECT_FALSE(exists(out_dir + "blink_dump.cmd"));
}

TEST_P(JobTest, OutputPathsWithSpacesParenthesesAmpersandAndPercent) {
  std::vector<std::string> books = {"C:\\tolvane-test\\my book (1) & co",
                                    "C:\\tolvane-test\\100%\\book"};
  // A folder named like a variable that is set. Wine's cmd, unlike Windows',
  // expands variables again inside the values of variables, so there no
  // path can hold such a name.
  if (!on_windows()) books.push_back("C:\\tolvane-test\\%path%\\book");
  for (const std::string& book : books) {
    ASSERT_NO_FATAL_FAILURE(reset());
    typical_setup();
    write_preferences(
        {"build.path=C:\\tolvane-test\\build", std::string("sketchbook.path=") + book});
    std::string lower = book;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    const std::string out_dir = lower + "\\sketches\\blink\\";
    place_source(out_dir.substr(0, out_dir.size() - 1), "blink");
    run_job(user_call());

    std::string script = script_for(out_dir);
    // In the script's command lines each "%" is doubled for the interpreter.
    std::string doubled;
    for (char c : out_dir) doubled += c == '%' ? std::string("%%") : std::string(1, c);
    size_t at = 0;
    while ((at = script.find(out_dir, at)) != std::string::npos) {
      script.replace(at, out_dir.size(), doubled);
      at += doubled.size();
    }
    expect_output(out_dir, script);
  }
}

TEST_P(JobTest, ARealArduinoBuildWithThePreferencesTheIdeWrites) {
  // The preferences file as the IDE writes it, with a build path added.
  write_preferences({
      "board=uno",
      "build.path=C:\\tolvane-test\\arduinobuild",
      "build.verbose=false",
      "editor.font=Monospaced,plain,12",
      "last.sketch0.path=C:\\tolvane-test\\sketchbook\\Blink\\Blink.ino",
      "preproc.save_build_files=true",
      "sketchbook.path=C:\\tolvane-test\\sketchbook",
      "target_package=arduino",
      "upload.verify=true",
  });
  write("C:\\tolvane-test\\arduinobuild\\Blink.cpp.elf", harness::read_file(TOLVANE_ARDUINO_ELF));
  place_source("C:\\tolvane-test\\sketchbook\\Blink", "Blink");
  machine().install_tools(kToolDirs[0]);
  run_job(user_call());

  const std::string out_dir = "c:\\tolvane-test\\sketchbook\\Blink\\";
  EXPECT_EQ(script_for(out_dir, "Blink", 0, "c:\\tolvane-test\\arduinobuild\\Blink.cpp.elf"),
            read(out_dir + "Blink_dump.cmd"));
  const std::string listing = read(out_dir + "Blink.asm.txt");
  for (const char* symbol : {"<setup>:", "<loop>:", "<main>:", "<digitalWrite>:"}) {
    EXPECT_NE(std::string::npos, listing.find(symbol)) << symbol;
  }
  EXPECT_NE(std::string::npos, read(out_dir + "Blink.hrd.txt").find("Atmel AVR 8-bit"));
}

RUN_ON_BOTH_MACHINES(JobTest);

}  // namespace
}  // namespace scenario
