// Directory probes and environment lookups on POSIX, over real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/test_support.h"

namespace platform {
namespace {

using posix::testing::make_dirs;
using posix::testing::ScopedEnv;
using posix::testing::TempDir;
using posix::testing::write_file;

class FirstMatch : public ::testing::Test {
 protected:
  FirstMatch() : drives_("TOLVANE_DRIVES", temp_.path()) { make_dirs(temp_ / "c/temp/build"); }
  TempDir temp_;
  ScopedEnv drives_;
};

TEST_F(FirstMatch, DirectoriesNeverCount) {
  make_dirs(temp_ / "c/temp/build/x.elf");
  EXPECT_EQ(first_match("C:\\temp\\build\\*.elf"), "");
  EXPECT_EQ(first_match("C:\\temp\\build\\x.elf"), "");
  EXPECT_FALSE(file_present("C:\\temp\\build\\"));
  write_file(temp_ / "c/temp/build/y.elf", "");
  EXPECT_EQ(first_match("C:\\temp\\build\\*.elf"), "y.elf");
}

TEST_F(FirstMatch, HiddenAndSpecialFilesNeverCount) {
  write_file(temp_ / "c/temp/build/.blink.cpp.elf", "");
  ASSERT_EQ(mkfifo((temp_ / "c/temp/build/pipe.elf").c_str(), 0644), 0);
  EXPECT_EQ(first_match("C:\\temp\\build\\*.elf"), "");
  EXPECT_FALSE(file_present("C:\\temp\\build\\.blink.cpp.elf"));
  EXPECT_FALSE(file_present("C:\\temp\\build\\pipe.elf"));
}

TEST_F(FirstMatch, ReadOnlyFileCounts) {
  write_file(temp_ / "c/temp/build/blink.cpp.elf", "");
  chmod((temp_ / "c/temp/build/blink.cpp.elf").c_str(), 0444);
  EXPECT_EQ(first_match("C:\\temp\\build\\*.elf"), "blink.cpp.elf");
}

TEST_F(FirstMatch, MissingDirectoryFindsNothing) {
  EXPECT_EQ(first_match("C:\\temp\\nowhere\\*.elf"), "");
  EXPECT_EQ(first_match("D:\\*.elf"), "");
  EXPECT_FALSE(file_present("C:\\temp\\nowhere\\blink.ino"));
}

TEST_F(FirstMatch, LetterCaseIgnoredAndStoredNameGiven) {
  make_dirs(temp_ / "d/Temp/BUILD");
  write_file(temp_ / "d/Temp/BUILD/Blink.cpp.elf", "");
  write_file(temp_ / "d/Temp/BUILD/notes.txt", "");
  EXPECT_EQ(first_match("D:\\Temp\\BUILD\\*.ELF"), "Blink.cpp.elf");
  EXPECT_EQ(first_match("d:\\temp\\build\\*.elf"), "Blink.cpp.elf");
  EXPECT_EQ(first_match("d:\\TEMP\\build\\blink.CPP.elf"), "Blink.cpp.elf");
  EXPECT_TRUE(file_present("d:\\temp\\build\\BLINK.cpp.elf"));
  EXPECT_EQ(first_match("d:\\temp\\build\\b?ink.*"), "Blink.cpp.elf");
}

TEST_F(FirstMatch, SymlinksCountByWhatTheyPointTo) {
  write_file(temp_ / "target.elf", "");
  ASSERT_EQ(symlink((temp_ / "target.elf").c_str(), (temp_ / "c/temp/build/link.elf").c_str()), 0);
  ASSERT_EQ(symlink(temp_.path().c_str(), (temp_ / "c/temp/build/dir.elf").c_str()), 0);
  ASSERT_EQ(symlink("missing", (temp_ / "c/temp/build/dangling.elf").c_str()), 0);
  EXPECT_EQ(first_match("C:\\temp\\build\\*.elf"), "link.elf");
  EXPECT_FALSE(file_present("C:\\temp\\build\\dir.elf"));
  EXPECT_FALSE(file_present("C:\\temp\\build\\dangling.elf"));
}

TEST_F(FirstMatch, NativePathsWork) {
  write_file(temp_ / "c/temp/build/blink.cpp.elf", "");
  EXPECT_EQ(first_match(temp_ / "c/temp/build/*.elf"), "blink.cpp.elf");
  EXPECT_TRUE(file_present(temp_ / "c/temp/build/blink.cpp.elf"));
}

TEST(EnvironmentValue, NameInAnyLetterCase) {
  ScopedEnv mixed("TolvaneTestHome", "C:");
  ScopedEnv upper("TOLVANE_TEST_CASE", "upper");
  ScopedEnv lower("tolvane_test_case", "lower");
  ScopedEnv empty("TOLVANE_TEST_EMPTY", "");
  ScopedEnv unset("TOLVANE_TEST_UNSET", std::nullopt);
  EXPECT_EQ(environment_value("TOLVANETESTHOME"), "C:");
  EXPECT_EQ(environment_value("tolvanetesthome"), "C:");
  EXPECT_EQ(environment_value("TOLVANE_TEST_CASE"), "upper");  // the exact name first
  EXPECT_EQ(environment_value("tolvane_test_case"), "lower");
  EXPECT_EQ(environment_value("TOLVANE_TEST_EMPTY"), "");
  EXPECT_EQ(environment_value("TOLVANE_TEST_UNSET"), "");
  EXPECT_EQ(environment_value(""), "");
  EXPECT_EQ(environment_value("TOLVANETESTHOME="), "");
}

}  // namespace
}  // namespace platform
