// The fixture of every scenario: one test area on drive C of the machine
// under test, a Windows user's environment, and the bundled sample build.
#ifndef TOLVANE_TESTS_SCENARIO_H_
#define TOLVANE_TESTS_SCENARIO_H_

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "harness.h"

namespace scenario {

using harness::Call;
using harness::Outcome;

// Where the scenarios lay out a user's files, as Windows paths.
extern const char kArea[];              // C:\tolvane-test, the current directory
extern const char kAppData[];           // the AppData folder
extern const char kPrefs[];             // the IDE's preferences file in it
extern const char kHome[];              // HomeDrive + HomePath
extern const char kBuild[];             // the build directory
extern const char kBook[];              // the sketchbook
extern const char* const kToolDirs[4];  // the four tool locations, in search order

/// Exit status of a failure as the host shows it.
constexpr int kFailed = 255;

class Scenario : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override;
  /// Empties the test area and the tool locations again.
  void reset();

  harness::Machine& machine() { return *machine_; }
  bool on_windows() const { return machine_->is_windows(); }
  std::string host(const std::string& windows_path) const { return machine_->host(windows_path); }

  /// AppData, HomeDrive and HomePath of a user whose files are in the area.
  Call user_call() const;

  void write(const std::string& windows_path, const std::string& bytes);
  std::string read(const std::string& windows_path) const;
  bool exists(const std::string& windows_path) const;

  /// Writes the preferences file, each line ended with CR LF.
  void write_preferences(const std::vector<std::string>& lines);
  /// Copies the sample ELF file into a directory under a name.
  void place_elf(const std::string& windows_dir, const std::string& name);
  /// Writes a sketch source <name>.ino into a directory.
  void place_source(const std::string& windows_dir, const std::string& name);
  /// A user's full setup for the sketch "blink" built into kBuild, with the
  /// source in the sketchbook and the tools at the second location.
  void typical_setup();

  /// Checks that standard output holds nothing from the program itself: on
  /// Windows, only the command interpreter's echo of the script lines.
  void expect_only_interpreter_echo(const Outcome& outcome, const Call& call) const;

  std::unique_ptr<harness::Machine> machine_;
};

/// The lines of the script for the given tools, ELF file and output base
/// (the output directory and sketch name), each ended with CR LF.
std::string expected_script(const std::string& objdump, const std::string& readelf,
                            const std::string& elf, const std::string& base);

}  // namespace scenario

// Runs a suite of scenarios against the native program and under Wine.
#define RUN_ON_BOTH_MACHINES(Suite)                                                  \
  INSTANTIATE_TEST_SUITE_P(Native, Suite, ::testing::Values(std::string("native"))); \
  INSTANTIATE_TEST_SUITE_P(Wine, Suite, ::testing::Values(std::string("wine")))

#endif  // TOLVANE_TESTS_SCENARIO_H_
