// The file handle on POSIX, over real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/exit_steps.h"
#include "platform/platform.h"
#include "platform/posix/test_support.h"

namespace platform {
namespace {

using namespace std::string_literals;
using namespace posix::testing;
using Lines = std::vector<std::string>;

class Files : public TempDirTest {
 protected:
  ~Files() override { close_file_at_exit(); }

  // The lines of a file holding |bytes|, read as the program reads them.
  Lines lines_of(const std::string& bytes) {
    write_file(temp_ / "in.txt", bytes);
    open_for_input(temp_ / "in.txt");
    EXPECT_EQ(error_number(), no_error);
    Lines lines;
    while (!end_of_file()) {
      std::string line;
      read_line(line);
      EXPECT_EQ(error_number(), no_error);
      lines.push_back(line);
    }
    close_file();
    EXPECT_EQ(error_number(), no_error);
    return lines;
  }
};

// Lone CRs, CR CR LF, byte-order marks and NUL bytes inside lines are the
// decoder's own cases in line_rules_test.cc; these are the ones that depend
// on where the reader's data ends.
TEST_F(Files, LineEndsAtTheEndOfTheDataCtrlZAndLongLines) {
  const std::string line2000(2000, 'x'), megabyte(1 << 20, 'm');
  const struct {
    std::string bytes;
    Lines lines;
  } kCases[] = {
      {"a\r\nb\nc", {"a", "b", "c"}},  // no extra empty line at the end
      {"a\r\n", {"a"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"", {}},
      {"a\r", {"a"}},
      {"ab\r\ncd\x1a"
       "ef\r\ngh\n",
       {"ab", "cd"}},
      {"\x1a"
       "hidden",
       {""}},
      {"ab\0\0"s, {"ab"}},
      {line2000 + "\r\n" + megabyte + "\r\nz", {line2000, megabyte, "z"}},
      // The reader takes the file in pieces of 64 KiB; put the CR last in one.
      {std::string(65535, 'x') + "\r\ny\r\n", {std::string(65535, 'x'), "y"}},
      {std::string(65534, 'x') + "\r\ny\r\n", {std::string(65534, 'x'), "y"}},
      {std::string(65536, 'x') + "\r\ny\r\n", {std::string(65536, 'x'), "y"}},
  };
  for (const auto& c : kCases) EXPECT_TRUE(lines_of(c.bytes) == c.lines) << "case " << &c - kCases;
}

TEST_F(Files, DataAddedAfterOpenIsNotRead) {
  write_file(temp_ / "in.txt", "a\r\n");
  open_for_input(temp_ / "in.txt");
  write_file(temp_ / "in.txt", "a\r\nb\r\n");
  std::string line;
  read_line(line);
  EXPECT_EQ(line, "a");
  EXPECT_TRUE(end_of_file());
}

// An open that must fail with file_not_found and leave no file open.
void expect_refused(void (*open)(const std::string&), const std::string& path) {
  open(path);
  EXPECT_EQ(error_number(), file_not_found) << path;
  EXPECT_TRUE(end_of_file());
  std::string line = "kept";
  read_line(line);
  EXPECT_EQ(error_number(), illegal_call);
  EXPECT_EQ(line, "kept");
  write_line("lost");
  EXPECT_EQ(error_number(), illegal_call);
  close_file();
  EXPECT_EQ(error_number(), illegal_call);
}

TEST_F(Files, RefusedOpensLeaveNoFileOpenAndCreateNothing) {
  write_file(temp_ / "plain", "");
  write_file(temp_ / "read-only.cmd", "old\r\n");
  chmod((temp_ / "read-only.cmd").c_str(), 0444);
  for (const std::string& path :
       {temp_ / "no/dir/x.cmd", temp_ / "plain/x.cmd", temp_.path(), temp_ / "read-only.cmd"}) {
    expect_refused(open_for_output, path);
  }
  expect_refused(open_for_input, temp_ / "missing.txt");
  expect_refused(open_for_input, temp_.path());
  EXPECT_FALSE(exists(temp_ / "no"));
  EXPECT_FALSE(exists(temp_ / "missing.txt"));
  EXPECT_EQ(read_file(temp_ / "read-only.cmd"), "old\r\n");
}

TEST_F(Files, SecondOpenIsRefusedAndTheFirstFileLeftAlone) {
  write_file(temp_ / "a.txt", "first\r\nsecond\r\n");
  write_file(temp_ / "b.txt", "other\r\n");
  open_for_input(temp_ / "a.txt");
  std::string line;
  read_line(line);
  open_for_input(temp_ / "b.txt");
  EXPECT_EQ(error_number(), illegal_call);
  open_for_output(temp_ / "c.txt");
  EXPECT_EQ(error_number(), illegal_call);
  EXPECT_FALSE(exists(temp_ / "c.txt"));
  read_line(line);
  EXPECT_EQ(line, "second");
  EXPECT_TRUE(end_of_file());
  close_file();
  EXPECT_EQ(error_number(), no_error);
}

TEST_F(Files, WriteLineEndsEachLineWithCrLfAndTruncatesFirst) {
  write_file(temp_ / "out.cmd", "an older and longer script\r\n");
  open_for_output(temp_ / "out.cmd");
  EXPECT_EQ(error_number(), no_error);
  EXPECT_EQ(read_file(temp_ / "out.cmd"), "");
  for (const std::string& text : {"\"a\" > \"b\""s, ""s, "x\ny"s, "n\0l"s}) {
    write_line(text);
    EXPECT_EQ(error_number(), no_error);
  }
  close_file();
  EXPECT_EQ(error_number(), no_error);
  EXPECT_EQ(read_file(temp_ / "out.cmd"), "\"a\" > \"b\"\r\n\r\nx\ny\r\nn\0l\r\n"s);
  write_line("late");
  EXPECT_EQ(error_number(), illegal_call);
}

TEST_F(Files, BytesThatCannotBeStoredAreReported) {
  open_for_output("/dev/full");
  ASSERT_EQ(error_number(), no_error);
  write_line("buffered");
  EXPECT_EQ(error_number(), no_error);
  close_file();
  EXPECT_EQ(error_number(), file_io_error);

  open_for_output("/dev/full");
  write_line(std::string(1 << 20, 'x'));
  EXPECT_EQ(error_number(), file_io_error);
  close_file();
  EXPECT_EQ(error_number(), file_io_error);
}

TEST_F(Files, BackslashesDrivesAndLetterCaseInPaths) {
  make_dirs(temp_ / "c/Users/U/AppData/Roaming/Arduino");
  write_file(temp_ / "c/Users/U/AppData/Roaming/Arduino/Preferences.txt", "build.path=x\n");
  ScopedEnv drives("TOLVANE_DRIVES", temp_.path());
  open_for_input("C:\\users\\u\\AppData\\Roaming\\Arduino\\preferences.txt");
  EXPECT_EQ(error_number(), no_error);
  std::string line;
  read_line(line);
  EXPECT_EQ(line, "build.path=x");
  close_file();

  open_for_output("c:/users/u/out.cmd");
  EXPECT_EQ(error_number(), no_error);
  write_line("x");
  close_file();
  EXPECT_EQ(read_file(temp_ / "c/Users/U/out.cmd"), "x\r\n");
}

TEST_F(Files, CloseAtExitStoresBufferedBytes) {
  open_for_output(temp_ / "out.cmd");
  write_line("kept");
  close_file_at_exit();
  EXPECT_EQ(read_file(temp_ / "out.cmd"), "kept\r\n");
  close_file();
  EXPECT_EQ(error_number(), illegal_call);
}

}  // namespace
}  // namespace platform
