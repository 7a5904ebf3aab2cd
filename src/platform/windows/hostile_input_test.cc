// Texts from outside that must not lead the Windows layer to a file other
// than the one they name: paths holding NUL bytes, which the runtime would
// end at the NUL byte.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/windows/test_support.h"

namespace platform {
namespace {

const std::string kNul(1, '\0');

class PathWithNul : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty()) << "cannot make a scratch folder";
    ASSERT_TRUE(wintest::write_bytes(elf_, "ELF"));
  }
  void TearDown() override {
    close_file();
    first_match("");
  }

  wintest::ScratchFolder folder_;
  const std::string elf_ = folder_ / "blink.cpp.elf";
};

TEST_F(PathWithNul, NamesNoFile) {
  EXPECT_EQ("", first_match(elf_ + kNul + "x"));
  EXPECT_EQ("", first_match(folder_.path() + kNul + "x\\*.elf"));
  EXPECT_FALSE(file_present(elf_ + kNul + "\\sketches\\blink\\blink.ino"));
}

TEST_F(PathWithNul, OpensNothingAndLeavesTheFileBeforeTheNulAlone) {
  // Cut at its NUL byte, the script's path would be the ELF file's.
  open_for_output(elf_ + kNul + "x\\sketches\\blink\\blink_dump.cmd");
  EXPECT_EQ(file_not_found, error_number());
  write_line("script");
  EXPECT_EQ(illegal_call, error_number());
  close_file();
  EXPECT_EQ("ELF", wintest::file_bytes(elf_));

  open_for_input(elf_ + kNul);
  EXPECT_EQ(file_not_found, error_number());
  EXPECT_TRUE(end_of_file());
}

TEST_F(PathWithNul, RunsNoCommand) {
  // Run, the script before the NUL byte would make a file.
  const std::string script = folder_ / "run.cmd";
  ASSERT_TRUE(wintest::write_bytes(script, "@echo made> \"" + folder_ / "made.txt" + "\"\r\n"));
  EXPECT_NE(0, run_command("\"\"" + script + kNul + "x\"\""));
  EXPECT_FALSE(wintest::exists(folder_ / "made.txt"));
}

}  // namespace
}  // namespace platform
