// Windows paths on the POSIX file system.
#include "platform/posix/native_path.h"

#include <gtest/gtest.h>

#include "platform/posix/test_support.h"

namespace platform::posix {
namespace {

using testing::make_dirs;
using testing::ScopedCwd;
using testing::ScopedEnv;
using testing::TempDir;
using testing::write_file;

// Backslashes for the slashes of a native path.
std::string windows_form(std::string path) {
  for (char& byte : path) {
    if (byte == '/') byte = '\\';
  }
  return path;
}

TEST(IsWindowsPath, DriveLetterOrBackslash) {
  EXPECT_TRUE(is_windows_path("C:\\Program Files\\x.exe"));
  EXPECT_TRUE(is_windows_path("z:name"));
  EXPECT_TRUE(is_windows_path("dir\\file"));
  EXPECT_FALSE(is_windows_path("/usr/bin/avr-objdump"));
  EXPECT_FALSE(is_windows_path("-S"));
  EXPECT_FALSE(is_windows_path("1:2"));
}

TEST(NativePath, DriveLetterGoesUnderTheDrivesFolder) {
  {
    ScopedEnv drives("TOLVANE_DRIVES", std::nullopt);
    EXPECT_EQ(native_path("Q:\\No Such\\Dir\\x.elf"), "/mnt/q/No Such/Dir/x.elf");
  }
  ScopedEnv drives("TOLVANE_DRIVES", "/nonexistent/drives/");
  EXPECT_EQ(native_path("Q:\\a\\b\\"), "/nonexistent/drives/q/a/b/");
  EXPECT_EQ(native_path("q:/a//b"), "/nonexistent/drives/q/a/b");
  EXPECT_EQ(native_path("Q:"), "/nonexistent/drives/q");
}

TEST(NativePath, NamesMatchInAnyLetterCase) {
  TempDir temp;
  make_dirs(temp / "c/Temp/builds");
  write_file(temp / "c/Temp/builds/Blink.cpp.elf", "");
  ScopedEnv drives("TOLVANE_DRIVES", temp.path());

  EXPECT_EQ(native_path("C:\\TEMP\\Builds\\blink.CPP.elf"), temp / "c/Temp/builds/Blink.cpp.elf");
  // A missing name stays as written, and so does everything below it.
  EXPECT_EQ(native_path("c:\\temp\\New\\Out.TXT"), temp / "c/Temp/New/Out.TXT");
  EXPECT_EQ(native_path("c:\\temp\\BUILDS\\*.ELF", false), temp / "c/Temp/builds/*.ELF");
  EXPECT_EQ(native_path("c:\\temp\\BUILDS\\.\\..\\builds\\"), temp / "c/Temp/builds/./../builds/");
}

TEST(NativePath, ExactNamePreferredOverOtherCase) {
  TempDir temp;
  make_dirs(temp / "Build");
  make_dirs(temp / "build");
  EXPECT_EQ(native_path(windows_form(temp / "build")), temp / "build");
  EXPECT_EQ(native_path(windows_form(temp / "Build")), temp / "Build");
}

TEST(NativePath, RootAndRelativePaths) {
  TempDir temp;
  make_dirs(temp / "Sub");
  write_file(temp / "Sub/File.txt", "");
  EXPECT_EQ(native_path(windows_form(temp / "SUB\\FILE.TXT")), temp / "Sub/File.txt");
  ScopedCwd cwd(temp.path());
  EXPECT_EQ(native_path("sub\\file.txt"), "Sub/File.txt");
  EXPECT_EQ(native_path("file.txt"), "file.txt");
  EXPECT_EQ(native_path(""), "");
}

TEST(WildcardMatch, StarAndQuestionMarkInAnyCase) {
  EXPECT_TRUE(wildcard_match("*.elf", "Blink.cpp.ELF"));
  EXPECT_TRUE(wildcard_match("*.elf", ".elf"));
  EXPECT_FALSE(wildcard_match("*.elf", "blink.elf2"));
  EXPECT_FALSE(wildcard_match("*.elf", "blink.el"));
  EXPECT_TRUE(wildcard_match("?.ino", "a.ino"));
  EXPECT_FALSE(wildcard_match("?.ino", "ab.ino"));
  EXPECT_TRUE(wildcard_match("a*b*c", "aXbYbZc"));
  EXPECT_FALSE(wildcard_match("a*b", "aXbX"));
  EXPECT_TRUE(wildcard_match("*", ""));
  EXPECT_TRUE(wildcard_match("**x**", "x"));
  EXPECT_FALSE(wildcard_match("", "x"));
}

}  // namespace
}  // namespace platform::posix
