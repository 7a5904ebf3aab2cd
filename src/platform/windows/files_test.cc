// The Windows files layer against real files in a scratch folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/windows/test_support.h"

namespace platform {
namespace {

using namespace std::string_literals;
using wintest::file_bytes;
using wintest::write_bytes;

// Every test starts and ends with no file open and no directory search held,
// whatever an earlier failure left behind.
class WindowsFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    close_file();
    ASSERT_FALSE(folder_.path().empty()) << "cannot make a scratch folder";
  }
  void TearDown() override {
    close_file();
    first_match("");  // ends the search that the last match kept open
  }

  std::string path(const std::string& name) const { return folder_ / name; }

  // Every line that the layer reads from |file|, checking error_number after
  // every call.
  std::vector<Text> lines_from(const std::string& file) {
    std::vector<Text> lines;
    open_for_input(file);
    EXPECT_EQ(no_error, error_number());
    for (int guard = 0; !end_of_file() && guard < 10000; ++guard) {
      Text line = "not read";
      read_line(line);
      EXPECT_EQ(no_error, error_number());
      lines.push_back(line);
    }
    close_file();
    EXPECT_EQ(no_error, error_number());
    return lines;
  }
  std::vector<Text> lines_of(const std::string& bytes) {
    EXPECT_TRUE(write_bytes(path("input.txt"), bytes));
    return lines_from(path("input.txt"));
  }

  // Writes |lines| through the layer and gives the bytes of the file.
  std::string bytes_written(const std::vector<Text>& lines,
                            const std::string& name = "output.txt") {
    const std::string file = path(name);
    open_for_output(file);
    EXPECT_EQ(no_error, error_number());
    for (const Text& line : lines) {
      write_line(line);
      EXPECT_EQ(no_error, error_number());
    }
    close_file();
    EXPECT_EQ(no_error, error_number());
    return file_bytes(file);
  }

  wintest::ScratchFolder folder_;
};

// An open that must fail with file_not_found and leave no file open.
void expect_refused(void (*open)(const Text&), const std::string& file) {
  open(file);
  EXPECT_EQ(file_not_found, error_number()) << file;
  EXPECT_TRUE(end_of_file());
  Text line = "kept";
  read_line(line);
  EXPECT_EQ(illegal_call, error_number());
  EXPECT_EQ("kept", line);
  write_line("lost");
  EXPECT_EQ(illegal_call, error_number());
  close_file();
  EXPECT_EQ(illegal_call, error_number());
}

TEST_F(WindowsFilesTest, FirstMatchPassesOverDirectoriesThatMatch) {
  // Several directories, so that some are listed before the file.
  for (const char* name : {"a.elf", "x.elf", "m.elf", "z.elf"}) {
    ASSERT_TRUE(CreateDirectoryA(path(name).c_str(), nullptr));
  }
  ASSERT_TRUE(write_bytes(path("y.elf"), "elf"));
  WIN32_FIND_DATAA entry;
  HANDLE listing = FindFirstFileA(path("*.elf").c_str(), &entry);
  ASSERT_NE(INVALID_HANDLE_VALUE, listing);
  FindClose(listing);
  ASSERT_TRUE(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      << "listed first: " << entry.cFileName;
  EXPECT_EQ("y.elf", first_match(path("*.elf")));
  EXPECT_TRUE(file_present(path("*.elf")));
  // A directory given by its own path is not present either.
  EXPECT_EQ("", first_match(path("x.elf")));
  EXPECT_FALSE(file_present(path("x.elf")));
  EXPECT_FALSE(file_present(folder_.path()));
}

TEST_F(WindowsFilesTest, FirstMatchSkipsHiddenAndSystemFilesAndFindsTheOthers) {
  const struct {
    const char* name;
    DWORD attributes;
    bool found;
  } kFiles[] = {{"hidden.elf", FILE_ATTRIBUTE_HIDDEN, false},
                {"system.elf", FILE_ATTRIBUTE_SYSTEM, false},
                {"read-only.txt", FILE_ATTRIBUTE_READONLY, true},
                {"archive.txt", FILE_ATTRIBUTE_ARCHIVE, true},
                {"plain.txt", FILE_ATTRIBUTE_NORMAL, true},
                {"both.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, true}};
  for (const auto& file : kFiles) {
    SCOPED_TRACE(file.name);
    ASSERT_TRUE(write_bytes(path(file.name), "x"));
    ASSERT_TRUE(SetFileAttributesA(path(file.name).c_str(), file.attributes));
    if (!file.found) {  // hidden or system
      ASSERT_EQ(file.attributes, GetFileAttributesA(path(file.name).c_str()) & file.attributes)
          << "the file system kept no such attribute";
    }
    EXPECT_EQ(file.found ? file.name : "", first_match(path(file.name)));
    EXPECT_EQ(file.found, file_present(path(file.name)));
  }
  EXPECT_EQ("", first_match(path("*.elf")));
  ASSERT_TRUE(write_bytes(path("plain.elf"), "p"));
  EXPECT_EQ("plain.elf", first_match(path("*.elf")));
}

TEST_F(WindowsFilesTest, FirstMatchGivesTheNameInItsOwnCaseAndNothingForNoMatch) {
  EXPECT_EQ("", first_match(path("missing\\*.elf")));
  EXPECT_EQ("", first_match(path("missing\\file.txt")));
  EXPECT_EQ("", first_match(path("*.elf")));
  EXPECT_FALSE(file_present(path("missing\\file.txt")));
  EXPECT_EQ("", first_match(""));
  ASSERT_TRUE(write_bytes(path("Blink.cpp.elf"), "elf"));
  ASSERT_TRUE(write_bytes(path("one.ino"), "1"));
  for (int round = 0; round < 3; ++round) {  // each search starts afresh
    EXPECT_EQ("Blink.cpp.elf", first_match(path("*.cpp.elf")));
    EXPECT_EQ("Blink.cpp.elf", first_match(path("*.CPP.ELF")));
    EXPECT_EQ("one.ino", first_match(path("*.ino")));
    EXPECT_EQ("Blink.cpp.elf", first_match(path("blink.cpp.elf")));
    EXPECT_EQ("", first_match(path("*.txt")));
  }
  EXPECT_TRUE(file_present(path("BLINK.CPP.ELF")));
}

TEST_F(WindowsFilesTest, RefusedOpensLeaveNoFileOpenAndChangeNothing) {
  const std::string held = path("held.cmd");
  ASSERT_TRUE(write_bytes(held, "echo older script\r\n"));
  ASSERT_TRUE(CreateDirectoryA(path("preferences.txt").c_str(), nullptr));
  HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  // A missing folder, a file held open without sharing, a directory.
  for (const std::string& file :
       {path("missing\\script_dump.cmd"), held, path("preferences.txt")}) {
    expect_refused(open_for_output, file);
    expect_refused(open_for_input, file);
  }
  expect_refused(open_for_input, path("input.txt"));
  CloseHandle(holder);
  EXPECT_FALSE(wintest::exists(path("missing")));
  EXPECT_FALSE(wintest::exists(path("input.txt")));
  EXPECT_TRUE(wintest::exists(path("preferences.txt")));
  EXPECT_EQ("echo older script\r\n", file_bytes(held));
}

TEST_F(WindowsFilesTest, OutputThroughForwardSlashesTruncatesAnExistingFile) {
  ASSERT_TRUE(CreateDirectoryA(path("sub").c_str(), nullptr));
  const std::string file = path("sub\\old.cmd");
  ASSERT_TRUE(write_bytes(file, "an older and longer script\r\n"));
  std::string slashed = file;
  for (char& byte : slashed) byte = byte == '\\' ? '/' : byte;
  open_for_output(slashed);
  ASSERT_EQ(no_error, error_number());
  EXPECT_EQ("", file_bytes(file));  // empty before the first write
  write_line("new");
  EXPECT_EQ(no_error, error_number());
  close_file();
  EXPECT_EQ(no_error, error_number());
  EXPECT_EQ("new\r\n", file_bytes(file));
  EXPECT_EQ(std::vector<Text>{"new"}, lines_from(slashed));
}

TEST_F(WindowsFilesTest, OpeningWhileAFileIsOpenIsIllegalAndWritingToAnInputFileFails) {
  ASSERT_TRUE(write_bytes(path("first.txt"), "first line\r\nsecond line\r\n"));
  ASSERT_TRUE(write_bytes(path("other.cmd"), "other"));
  open_for_input(path("first.txt"));
  ASSERT_EQ(no_error, error_number());
  open_for_input(path("other.cmd"));
  EXPECT_EQ(illegal_call, error_number());
  open_for_output(path("new.txt"));
  EXPECT_EQ(illegal_call, error_number());
  EXPECT_FALSE(wintest::exists(path("new.txt")));
  write_line("more");  // to the input file
  EXPECT_EQ(file_io_error, error_number());
  Text line;
  read_line(line);
  EXPECT_EQ("first line", line);
  EXPECT_EQ(no_error, error_number());
  close_file();
  EXPECT_EQ(no_error, error_number());
  close_file();
  EXPECT_EQ(illegal_call, error_number());
  EXPECT_EQ("first line\r\nsecond line\r\n", file_bytes(path("first.txt")));

  open_for_output(path("script.cmd"));
  ASSERT_EQ(no_error, error_number());
  open_for_output(path("other.cmd"));
  EXPECT_EQ(illegal_call, error_number());
  EXPECT_EQ("other", file_bytes(path("other.cmd")));
  write_line("still here");
  EXPECT_EQ(no_error, error_number());
  close_file();
  EXPECT_EQ("still here\r\n", file_bytes(path("script.cmd")));
}

TEST_F(WindowsFilesTest, AnInputThatCannotBeMeasuredIsAnIllegalCall) {
  // A pipe opens like a file but has no size to seek to.
  const std::string pipe_name =
      "\\\\.\\pipe\\tolvane-test-" + std::to_string(GetCurrentProcessId());
  HANDLE server = CreateNamedPipeA(pipe_name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096,
                                   4096, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, server);
  open_for_input(pipe_name);
  EXPECT_EQ(illegal_call, error_number());
  EXPECT_TRUE(end_of_file());
  Text line = "kept";
  read_line(line);
  EXPECT_EQ(illegal_call, error_number());
  EXPECT_EQ("kept", line);
  CloseHandle(server);
}

TEST_F(WindowsFilesTest, ReadLineEndsCarriageReturnsCtrlZByteOrderMarkAndNulBytes) {
  const struct {
    std::string bytes;
    std::vector<Text> lines;
  } kCases[] = {
      {"a\r\nb\nc", {"a", "b", "c"}},  // no extra empty line at the end
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\n\r\nb\n", {"a", "", "b"}},
      {"", {}},
      {"a\r\r\nb", {"a", "b"}},  // CR CR LF ends a line and leaves neither CR
      {"a\rb\n", {"a\rb"}},      // a lone CR stays in the line
      {"\rx\r\r\ny\r\n", {"\rx", "y"}},
      {"a\r\nb\r", {"a", "b"}},  // a CR at the very end of the data goes
      {"a\r\nb\x1a"
       "after\r\nmore\r\n",
       {"a", "b"}},  // nothing after Ctrl+Z is read
      {"build.path=C:\\build\r\n\x1asketchbook.path=C:\\s\r\n", {"build.path=C:\\build"}},
      {"\xEF\xBB\xBF"
       "build.path=C:\\b\r\nx\r\n",
       {"\xEF\xBB\xBF"
        "build.path=C:\\b",
        "x"}},
      {"a\0b\r\n\0\r\nc\0\0"s, {"a\0b"s, "\0"s, "c"}},  // NUL bytes stay but at the very end
      {"\0\0x\ny\r\0\0"s, {"\0\0x"s, "y"}},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.lines, lines_of(c.bytes)) << &c - kCases;
}
// A line of |size| bytes without line-end bytes; with |nul_bytes| it begins
// with a NUL byte and holds another in its middle.
Text long_line(size_t size, bool nul_bytes) {
  Text line;
  for (size_t i = 0; i < size; ++i) line.push_back(static_cast<char>('A' + i % 53));
  if (nul_bytes && size > 2) line[0] = line[size / 2] = '\0';
  return line;
}

TEST_F(WindowsFilesTest, LongLinesComeBackWholeAndReadingPastTheEndGivesEmptyLines) {
  const Text line_2000 = long_line(2000, false), line_100000 = long_line(100000, true);
  EXPECT_TRUE((std::vector<Text>{line_2000, line_100000, "end"}) ==
              lines_of(line_2000 + "\r\n" + line_100000 + "\r\nend"));
  // Lengths on every side of the sizes in which lines may be read, some
  // holding NUL bytes, the last without a line end.
  std::vector<Text> expected;
  std::string bytes;
  for (size_t size : {253,  254,  255,  256,  257,  510,  511,  512,  513,  1022, 1023, 1024,
                      1025, 4093, 4094, 4095, 4096, 4097, 8189, 8190, 8191, 8192, 8193}) {
    expected.push_back(long_line(size, size % 2 == 1));
    bytes += expected.back() + (size % 3 ? "\r\n" : "\n");
  }
  for (size_t size : {4093, 4094, 4095}) {
    expected.push_back(long_line(size, true));
    EXPECT_TRUE(expected == lines_of(bytes + expected.back())) << size;
    expected.pop_back();
  }
  // Reading past the end gives empty lines.
  ASSERT_TRUE(write_bytes(path("one.txt"), "only\r\n"));
  open_for_input(path("one.txt"));
  Text line;
  read_line(line);
  EXPECT_EQ("only", line);
  EXPECT_TRUE(end_of_file());
  read_line(line);
  EXPECT_EQ("", line);
  EXPECT_EQ(no_error, error_number());
  EXPECT_TRUE(end_of_file());
  close_file();
}

TEST_F(WindowsFilesTest, EachLineEndsWithCrLfAndNothingIsTranslated) {
  EXPECT_EQ("\r\n", bytes_written({""}));
  EXPECT_EQ("a\r\n\r\nb\nc\r\nx\r\r\n\0y\r\n\x1a\r\n"s,
            bytes_written({"a", "", "b\nc", "x\r", "\0y"s, "\x1a"}));
  EXPECT_EQ("", bytes_written({}));
  const Text line(300000, 'w');  // long lines are written whole
  EXPECT_EQ(line + "\r\n" + line + "\r\n", bytes_written({line, line}));
}

TEST_F(WindowsFilesTest, BytesThatCannotBeStoredAreAnIoError) {
  // A pipe whose reader has gone takes no more bytes.
  const std::string pipe_name =
      "\\\\.\\pipe\\tolvane-test-out-" + std::to_string(GetCurrentProcessId());
  HANDLE reader = CreateNamedPipeA(pipe_name.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE, 1, 4096,
                                   4096, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  open_for_output(pipe_name);
  ASSERT_EQ(no_error, error_number());
  CloseHandle(reader);

  write_line("short line");  // held in the buffer for now
  EXPECT_EQ(no_error, error_number());
  write_line(Text(100000, 'x'));  // more than the buffer holds
  EXPECT_EQ(file_io_error, error_number());
  close_file();
  EXPECT_EQ(file_io_error, error_number());
  close_file();
  EXPECT_EQ(illegal_call, error_number());
}

TEST(WindowsEnvironment, NamesMatchInAnyLetterCase) {
  ASSERT_EQ(0, _putenv("TOLVANE_TEST_VALUE=C:\\Some Where\\x"));
  EXPECT_EQ("C:\\Some Where\\x", environment_value("TOLVANE_TEST_VALUE"));
  EXPECT_EQ("C:\\Some Where\\x", environment_value("tolvane_test_value"));
  EXPECT_EQ("C:\\Some Where\\x", environment_value("Tolvane_Test_Value"));
  ASSERT_EQ(0, _putenv("TOLVANE_TEST_VALUE="));  // removes it
  EXPECT_EQ("", environment_value("TOLVANE_TEST_VALUE"));
  EXPECT_EQ("", environment_value("TOLVANE_NEVER_SET"));

  // The variables that the program reads, as Windows spells them.
  EXPECT_NE("", environment_value("AppData"));
  EXPECT_EQ(environment_value("APPDATA"), environment_value("AppData"));
  EXPECT_EQ(environment_value("HOMEDRIVE"), environment_value("HomeDrive"));
}

TEST_F(WindowsFilesTest, RunCommandRunsAWrittenScriptAndGivesItsStatus) {
  const std::string made = path("made.txt");
  bytes_written({"@echo off", "echo made> " + made, "exit 7", "echo never>> " + made}, "run.cmd");
  EXPECT_EQ(7, run_command(path("run.cmd")));
  EXPECT_EQ("made\r\n", file_bytes(made));
  EXPECT_EQ(0, run_command("exit 0"));
}

}  // namespace
}  // namespace platform
