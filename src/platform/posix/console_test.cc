// Console output, the key wait and the end of the process on POSIX. Every
// wait runs in a child process with an alarm set, so that a fault shows as a
// failure, never as a test run that hangs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>

#include "platform/platform.h"
#include "platform/posix/test_support.h"

namespace platform {
namespace {

using namespace std::string_literals;
using namespace posix::testing;

// Runs |body| in a child process, whose standard input is |input|, and gives
// its wait status. The child is killed by SIGALRM if it does not end.
int in_child(int input, const std::function<int()>& body,
             const std::function<void(pid_t)>& meanwhile = nullptr) {
  pid_t child = fork();
  if (child == 0) {
    dup2(input, STDIN_FILENO);
    alarm(20);
    _exit(body());
  }
  if (meanwhile) meanwhile(child);
  if (::testing::Test::HasFatalFailure()) kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

bool exited_with(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

using PrintLine = TempDirTest;
using EndRun = TempDirTest;

TEST_F(PrintLine, WritesTheBytesAndCrLf) {
  {
    CapturedFd out(1, temp_ / "out.txt");
    print_line("**ERROR** Can not find 'avr-objdump.exe'.");
    print_line("");
    print_line("help\r\ntext\r\n");
    print_line("a\0b"s);
  }
  EXPECT_EQ(read_file(temp_ / "out.txt"),
            "**ERROR** Can not find 'avr-objdump.exe'.\r\n\r\nhelp\r\ntext\r\n\r\na\0b\r\n"s);
}

TEST(WaitForKey, ReturnsAtOnceWithoutATerminal) {
  int null = open("/dev/null", O_RDONLY);
  int status = in_child(null, [] {
    wait_for_key();
    return 0;
  });
  close(null);
  EXPECT_TRUE(exited_with(status, 0));
}

TEST_F(EndRun, EndsWithTheStatusAndStoresAnOpenFile) {
  EXPECT_EXIT(end_run(-1), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(
      {
        open_for_output(temp_ / "script.cmd");
        write_line("kept");
        end_run(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_file(temp_ / "script.cmd"), "kept\r\n");
}

// A pseudo-terminal standing in for the user's console.
class Terminal : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave_, 0);
  }
  void TearDown() override {
    close(slave_);
    close(master_);
  }

  void type(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

  bool echo_on() {
    struct termios mode;
    tcgetattr(slave_, &mode);
    return (mode.c_lflag & (ECHO | ICANON)) == (ECHO | ICANON);
  }

  // Waits until the child has taken the terminal over for the key wait.
  void until_waiting() {
    for (int i = 0; i < 2000 && echo_on(); ++i) usleep(10'000);
    ASSERT_FALSE(echo_on());
  }

  // Waits for a key, then reports through its status: 0 when the terminal
  // mode is back and no typed byte is left over.
  static int wait_and_check() {
    wait_for_key();
    struct termios mode;
    tcgetattr(STDIN_FILENO, &mode);
    if ((mode.c_lflag & (ECHO | ICANON)) != (ECHO | ICANON)) return 2;
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON);  // count bytes, not lines
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
    int pending = -1;
    ioctl(STDIN_FILENO, FIONREAD, &pending);
    return pending == 0 ? 0 : 3;
  }

  int master_ = -1;
  int slave_ = -1;
};

TEST_F(Terminal, KeyTypedBeforeTheWaitEndsItAndTheRestIsDiscarded) {
  type("\x1b[A" + std::string(100, 'x'));  // an arrow key, then more than one read takes
  EXPECT_TRUE(exited_with(in_child(slave_, wait_and_check), 0));
}

TEST_F(Terminal, HangUpEndsTheWait) {
  int status = in_child(slave_, wait_and_check, [this](pid_t child) {
    until_waiting();
    kill(child, SIGHUP);
  });
  EXPECT_TRUE(exited_with(status, 0));
}

TEST_F(Terminal, InterruptEndsTheProcessWithTheModeRestored) {
  int status = in_child(slave_, wait_and_check, [this](pid_t child) {
    until_waiting();
    kill(child, SIGINT);
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT);
  EXPECT_TRUE(echo_on());
}

}  // namespace
}  // namespace platform
