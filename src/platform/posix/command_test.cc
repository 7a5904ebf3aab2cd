// The command runner on POSIX, running real scripts and programs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/platform.h"
#include "platform/posix/test_support.h"

namespace platform {
namespace {

using namespace posix::testing;

const char kNotRecognized[] =
    "' is not recognized as an internal or external command, operable program or batch file.\n";

class RunCommand : public TempDirTest {
 protected:
  RunCommand() : drives_("TOLVANE_DRIVES", temp_ / "drives") {
    make_dirs(temp_ / "drives/c/tools");
    make_dirs(temp_ / "drives/c/work/My Sketch (1)");
    // Prints each argument in brackets on a line of its own.
    program("drives/c/tools/Show Args.exe", "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done");
  }

  void program(const std::string& relative, const std::string& body) {
    write_file(temp_ / relative, "#!/bin/sh\n" + body + "\n");
    chmod((temp_ / relative).c_str(), 0755);
  }

  // Writes the script into the work folder and runs it as the program does;
  // standard error goes to |errors_|.
  int run_script(const std::string& script) {
    write_file(temp_ / "drives/c/work/My Sketch (1)/blink_dump.cmd", script);
    CapturedFd errors(2, temp_ / "stderr.txt");
    int status = run_command("\"\"C:\\Work\\my sketch (1)\\BLINK_dump.cmd\"\"");
    errors_ = errors.text();
    return status;
  }

  std::string work(const std::string& name) { return read_file(temp_ / ("drives/c/work/" + name)); }

  ScopedEnv drives_;
  std::string errors_;
};

TEST_F(RunCommand, QuotingRedirectionPercentAndWindowsPaths) {
  write_file(temp_ / "drives/c/work/B C.elf", "");
  write_file(temp_ / "drives/c/work/Out.txt", "older and longer\n");  // > replaces it
  int status = run_script(
      "\"C:\\TOOLS\\show args.exe\" -S \"c:\\work\\b c.elf\" plain > \"C:\\Work\\Out.txt\"\r\n"
      "\"C:\\Tools\\Show Args.exe\" again>>c:\\work\\out.txt\r\n"
      "\"C:\\Tools\\Show Args.exe\" 100%% \"%%x%%\" > \"C:\\Work\\100%%.txt\"\r\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(errors_, "");
  EXPECT_EQ(work("Out.txt"), "[-S]\n[" + temp_ / "drives/c/work/B C.elf" + "]\n[plain]\n[again]\n");
  EXPECT_EQ(work("100%.txt"), "[100%]\n[%x%]\n");
}

TEST_F(RunCommand, ExitEndsTheScript) {
  int status = run_script(
      "\r\n"
      "\"C:\\Tools\\Show Args.exe\" first > c:\\work\\first.txt\r\n"
      "\r\n"
      "  Exit \r\n"
      "\"C:\\Tools\\Show Args.exe\" never > c:\\work\\never.txt\r\n"
      "avr-objdump\r\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(work("first.txt"), "[first]\n");
  EXPECT_FALSE(exists(temp_ / "drives/c/work/never.txt"));
  EXPECT_EQ(errors_, "");
}

TEST_F(RunCommand, MissingProgramOrScriptIsReportedAndTheScriptGoesOn) {
  int status = run_script(
      "\"C:\\No Tools\\avr-objdump.exe\" -S x > c:\\work\\empty.txt\n"
      "\"C:\\Tools\\Show Args.exe\" after > c:\\work\\after.txt\n");
  EXPECT_EQ(errors_, "'C:\\No Tools\\avr-objdump.exe" + std::string(kNotRecognized));
  EXPECT_EQ(work("empty.txt"), "");  // the redirection was made before the search
  EXPECT_EQ(work("after.txt"), "[after]\n");
  EXPECT_EQ(status, 0);

  EXPECT_EQ(run_script("\"C:\\Tools\\Show Args.exe\" x\nC:\\tools\\missing\n"), 9009);
  CapturedFd errors(2, temp_ / "stderr.txt");  // a missing script
  EXPECT_EQ(run_command("\"\"C:\\Work\\none_dump.cmd\"\""), 9009);
  EXPECT_EQ(errors.text(), "'C:\\Work\\none_dump.cmd" + std::string(kNotRecognized));
}

TEST_F(RunCommand, UnopenableRedirectionSkipsTheCommand) {
  program("drives/c/tools/touch.exe", "echo ran > \"$1\"");
  int status = run_script("c:\\tools\\touch.exe " + temp_ / "ran" + " > c:\\nowhere\\out.txt\n");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(errors_, "The system cannot find the path specified.\n");
  EXPECT_FALSE(exists(temp_ / "ran"));
}

TEST_F(RunCommand, StatusOfTheLastProgram) {
  program("drives/c/tools/fail.exe", "exit 3");
  EXPECT_EQ(run_script("C:\\tools\\fail.exe\r\n\r\n"), 3);
  EXPECT_EQ(run_script("C:\\tools\\fail.exe\r\nsh -c \"exit 0\"\r\n"), 0);
  EXPECT_EQ(run_script("sh -c \"exit 4\"\r\nexit\r\n"), 4);
  EXPECT_EQ(run_script("exit\r\nC:\\tools\\fail.exe\r\n"), 0);
}

}  // namespace
}  // namespace platform
