// Texts and names from outside that must not lead the POSIX layer to a file
// other than the one they name: paths holding NUL bytes, and directory
// entries whose names no Windows path can hold.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/native_path.h"
#include "platform/posix/test_support.h"

namespace platform {
namespace {

using posix::testing::make_dirs;
using posix::testing::read_file;
using posix::testing::ScopedEnv;
using posix::testing::TempDir;
using posix::testing::write_file;

const std::string kNul(1, '\0');

class PathWithNul : public ::testing::Test {
 protected:
  PathWithNul() : drives_("TOLVANE_DRIVES", temp_.path()) {
    make_dirs(temp_ / "c/build");
    write_file(temp_ / "c/build/blink.cpp.elf", "ELF");
  }
  TempDir temp_;
  ScopedEnv drives_;
};

TEST_F(PathWithNul, NamesNoFile) {
  EXPECT_EQ("", posix::native_path("C:\\build\\blink.cpp.elf" + kNul + "x"));
  EXPECT_EQ("", posix::native_path("C:\\build" + kNul + "\\*.elf", false));
  EXPECT_EQ("", first_match("C:\\build\\blink.cpp.elf" + kNul + "x"));
  EXPECT_EQ("", first_match("C:\\build" + kNul + "x\\*.elf"));
  EXPECT_FALSE(file_present("C:\\build\\blink.cpp.elf" + kNul + "\\sketches\\blink\\blink.ino"));
}

TEST_F(PathWithNul, OpensNothingAndLeavesTheFileBeforeTheNulAlone) {
  // Cut at its NUL byte, the script's path would be the ELF file's.
  open_for_output("C:\\build\\blink.cpp.elf" + kNul + "x\\sketches\\blink\\blink_dump.cmd");
  EXPECT_EQ(file_not_found, error_number());
  write_line("script");
  EXPECT_EQ(illegal_call, error_number());
  close_file();
  EXPECT_EQ("ELF", read_file(temp_ / "c/build/blink.cpp.elf"));

  open_for_input("C:\\build\\blink.cpp.elf" + kNul);
  EXPECT_EQ(file_not_found, error_number());
  EXPECT_TRUE(end_of_file());
}

TEST_F(PathWithNul, RunsNoScript) {
  // Run, the script before the NUL byte would make a file.
  write_file(temp_ / "c/build/run.cmd", "> \"C:\\build\\made.txt\"\r\n");
  EXPECT_EQ(9009, run_command("\"\"C:\\build\\run.cmd" + kNul + "x\"\""));
  EXPECT_FALSE(posix::testing::exists(temp_ / "c/build/made.txt"));
}

class NameNoWindowsPathHolds : public ::testing::Test {
 protected:
  NameNoWindowsPathHolds() : drives_("TOLVANE_DRIVES", temp_.path()) {
    make_dirs(temp_ / "c/build");
  }
  TempDir temp_;
  ScopedEnv drives_;
};

TEST_F(NameNoWindowsPathHolds, NeverCounts) {
  // Each would change the script line it went into: a second redirection,
  // a line break, a climb out of the output directory.
  const char* const names[] = {"x\" > \"evil.cpp.elf", "line\nbreak.cpp.elf", "cr\r.cpp.elf",
                               "..\\..\\up.cpp.elf",   "tab\there.cpp.elf",   "pipe|.cpp.elf",
                               "a<b.cpp.elf",          "c:d.cpp.elf",         "star*.cpp.elf",
                               "what?.cpp.elf"};
  for (const char* name : names) write_file(temp_ / "c/build/" + name, "ELF");
  EXPECT_EQ("", first_match("C:\\build\\*.elf"));
  EXPECT_EQ("", first_match("C:\\build\\*"));
  EXPECT_FALSE(file_present("C:\\build\\c:d.cpp.elf"));
  write_file(temp_ / "c/build/blink.cpp.elf", "ELF");
  EXPECT_EQ("blink.cpp.elf", first_match("C:\\build\\*.elf"));
}

TEST_F(NameNoWindowsPathHolds, OtherBytesAboveControlCodesAreFine) {
  write_file(temp_ / "c/build/a&b^c(d)e!f%g bl\xc3\xbcnk caf\xe9.cpp.elf", "ELF");
  EXPECT_EQ("a&b^c(d)e!f%g bl\xc3\xbcnk caf\xe9.cpp.elf", first_match("C:\\build\\*.elf"));
}

}  // namespace
}  // namespace platform
