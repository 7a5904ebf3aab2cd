// Windows paths on the POSIX file system, and the directory probes over them.
#include "platform/posix/native_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace platform::posix {
namespace {

TEST(NativePath, MapsDrivesAndNamesInAnyCase) {
  char folder[] = "/tmp/tolvane-path-XXXXXX";
  ASSERT_TRUE(mkdtemp(folder));
  const std::string root = folder;
  for (const char* dir : {"/c", "/c/Temp", "/c/Temp/Build", "/c/Temp/build", "/c/Temp/Sub"})
    mkdir((root + dir).c_str(), 0755);
  std::fclose(std::fopen((root + "/c/Temp/Sub/Blink.cpp.elf").c_str(), "w"));
  unsetenv("TOLVANE_DRIVES");
  EXPECT_EQ("/mnt/q/No Such/x.elf", native_path("Q:\\No Such\\x.elf"));
  setenv("TOLVANE_DRIVES", "", 1);
  EXPECT_EQ("/mnt/q", native_path("Q:"));
  setenv("TOLVANE_DRIVES", folder, 1);
  const struct {
    std::string path;
    std::string native;
    bool resolve_last = true;
  } kCases[] = {
      {"C:\\TEMP\\sub\\blink.CPP.elf", root + "/c/Temp/Sub/Blink.cpp.elf"},
      {"c:\\temp\\Build\\", root + "/c/Temp/Build/"},
      {"c:/temp/build", root + "/c/Temp/build"},
      {"c:\\temp\\New\\SUB", root + "/c/Temp/New/SUB"},
      {"c:\\temp\\SUB\\*.ELF", root + "/c/Temp/Sub/*.ELF", false},
      {"c:\\temp\\.\\..\\Temp\\\\sub", root + "/c/Temp/./../Temp/Sub"},
      {root + "\\C\\temp", root + "/c/Temp"},
      {"sub\\x", "sub/x"},
      {"1:\\x", "1:/x"},
      {std::string("c:\\temp\0x", 9), ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.native, native_path(c.path, c.resolve_last)) << c.path;
  // Full paths as GetFullPathNameA gives them, the current folder C:\Temp.
  const struct {
    const char* path;
    const char* full;
  } kFull[] = {
      // clang-format off
      {"c:/t//book/", "c:\\t\\book\\"}, {"C:\\t\\.\\a\\..\\b\\.", "C:\\t\\b"},
      {"C:\\t\\a.\\b. .", "C:\\t\\a\\b"}, {"C:\\t\\...\\x...", "C:\\t\\..\\x"},
      {"C:\\t\\..\\..", "C:\\"}, {"C:", "C:\\Temp\\"}, {"c:x/y", "C:\\Temp\\x\\y"},
      {"d:x", "d:\\x"}, {"x/y\\\\z", "C:\\Temp\\x\\y\\z"}, {"\\x//y", "C:\\x\\y"},
      {"../../x", "C:\\x"}, {"a.b\\c .", "C:\\Temp\\a.b\\c"},
      // clang-format on
  };
  for (const auto& c : kFull) EXPECT_EQ(c.full, windows_full_path(c.path, "C:\\Temp")) << c.path;
  EXPECT_EQ("x/y", windows_full_path("x/y", ""));
  EXPECT_EQ("C:\\x", windows_full_path("C:/x", ""));
  EXPECT_TRUE(is_windows_path("z:name") && is_windows_path("A:") && is_windows_path("Z:") &&
              is_windows_path("a\\b") && !is_windows_path("/usr/bin/x"));

  // first_match counts ordinary files alone, found in any case; file_exists any file.
  EXPECT_EQ("Blink.cpp.elf", first_match("C:\\temp\\SUB\\*.elf"));
  EXPECT_EQ("", first_match("C:\\temp\\*"));
  std::fclose(std::fopen((root + "/c/Temp/.hidden.elf").c_str(), "w"));
  EXPECT_TRUE(file_exists("C:\\temp\\.hidden.elf") && !file_present("C:\\temp\\.hidden.elf"));
  EXPECT_FALSE(file_exists("C:\\temp\\sub") || file_exists("C:\\temp\\none"));
  setenv("tolvane_TEST_name", "value", 1);
  EXPECT_EQ("value", environment_value("TOLVANE_test_NAME"));
  EXPECT_EQ(std::string(folder), environment_value("TOLVANE_DRIVES"));
  EXPECT_EQ("", environment_value("TOLVANE_DRIVE"));
  std::system(("rm -rf " + root).c_str());
}

}  // namespace
}  // namespace platform::posix
