// The key wait for real: the program runs in a terminal inside tmux, fails,
// and waits until a key is pressed. Natively the terminal's bytes are the
// keys; under Wine its console turns them into key events.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "scenario.h"

namespace scenario {
namespace {

std::string shell_quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// One tmux server and session of its own, ended with the test.
class Terminal {
 public:
  explicit Terminal(const std::string& directory) : directory_(directory) {
    socket_ = "tolvane-test-" + std::to_string(getpid());
  }
  ~Terminal() { tmux("kill-server"); }

  // Starts |command| through bash in a fresh session; the shell records the
  // status, then reads one line of what is left in the terminal.
  void start(const std::string& command) {
    // The shell catches SIGINT so that it goes on after the program. Each
    // file appears whole, by a rename, so that it is never read half written.
    const std::string script = "trap : INT; cd " + shell_quoted(directory_) + " && " + command +
                               "; echo $? > s.tmp; mv s.tmp status.txt; " +
                               "stty -a > t.tmp; mv t.tmp stty.txt; IFS= read -r rest; " +
                               "printf '[%s]' \"$rest\" > r.tmp; mv r.tmp rest.txt";
    tmux("new-session -d -x 120 -y 40 -s keys " + shell_quoted("bash -c " + shell_quoted(script)));
  }
  void send(const std::string& keys) { tmux("send-keys -t keys " + keys); }
  std::string screen() { return output("capture-pane -p -t keys"); }
  std::string file(const char* name) { return harness::read_file(directory_ + "/" + name); }
  bool has_file(const char* name) { return harness::exists(directory_ + "/" + name); }

  // Polls until |done| holds, for at most |seconds|.
  static bool wait_until(const std::function<bool()>& done, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
  }

 private:
  int tmux(const std::string& arguments) {
    return std::system(("tmux -L " + socket_ + " " + arguments + " >/dev/null 2>&1").c_str());
  }
  std::string output(const std::string& arguments) {
    std::string result;
    if (FILE* pipe = popen(("tmux -L " + socket_ + " " + arguments).c_str(), "r")) {
      char buffer[4096];
      size_t got;
      while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.append(buffer, got);
      pclose(pipe);
    }
    return result;
  }

  std::string directory_;
  std::string socket_;
};

class KeyWaitTest : public Scenario {
 protected:
  void SetUp() override {
    const char* skip = std::getenv("TOLVANE_SKIP_TMUX");
    if (skip && std::strcmp(skip, "1") == 0) GTEST_SKIP() << "TOLVANE_SKIP_TMUX=1";
    ASSERT_EQ(0, std::system("command -v tmux >/dev/null 2>&1"))
        << "tmux is not installed (set TOLVANE_SKIP_TMUX=1 to leave out the key wait tests)";
    Scenario::SetUp();
  }

  // The command line that runs the program with no preferences file, so that
  // it fails and waits for a key.
  std::string failing_program() {
    if (!on_windows()) {
      return "env TOLVANE_DRIVES=" + shell_quoted(host("C:\\").substr(0, host("C:\\").size() - 3)) +
             " AppData='C:\\tolvane-test\\nowhere' " + shell_quoted(machine().program());
    }
    return "env WINEPREFIX=" + shell_quoted(TOLVANE_WINE_PREFIX) +
           " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' wine " +
           shell_quoted(machine().program().substr(1, machine().program().size() - 2));
  }

  // Starts the failing program and waits until its message is on screen.
  void start_waiting(Terminal& terminal) {
    terminal.start(failing_program());
    ASSERT_TRUE(Terminal::wait_until(
        [&] { return terminal.screen().find("Can not find Ardunio") != std::string::npos; }, 60))
        << terminal.screen();
    // Still waiting: nothing has been pressed.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_FALSE(terminal.has_file("status.txt"));
  }

  void expect_key_ends_wait(const std::string& keys) {
    Terminal terminal(host(kArea));
    ASSERT_NO_FATAL_FAILURE(start_waiting(terminal));
    terminal.send(keys);
    ASSERT_TRUE(Terminal::wait_until([&] { return terminal.has_file("status.txt"); }, 90))
        << keys << " did not end the wait";
    EXPECT_EQ("255\n", terminal.file("status.txt"));
    // Nothing of the key is left for the shell.
    terminal.send("Enter");
    ASSERT_TRUE(Terminal::wait_until([&] { return terminal.has_file("rest.txt"); }, 30));
    EXPECT_EQ("[]", terminal.file("rest.txt")) << keys;
  }
};

TEST_P(KeyWaitTest, ALetterEndsTheWait) { expect_key_ends_wait("a"); }
TEST_P(KeyWaitTest, FunctionKeyEndsTheWait) { expect_key_ends_wait("F5"); }
TEST_P(KeyWaitTest, ArrowEndsTheWait) { expect_key_ends_wait("Right"); }

TEST_P(KeyWaitTest, CtrlCEndsTheProgramAndRestoresTheTerminal) {
  if (on_windows()) GTEST_SKIP() << "Wine's console turns Ctrl+C into its own event";
  Terminal terminal(host(kArea));
  ASSERT_NO_FATAL_FAILURE(start_waiting(terminal));
  terminal.send("C-c");
  ASSERT_TRUE(Terminal::wait_until([&] { return terminal.has_file("stty.txt"); }, 30));
  EXPECT_EQ("130\n", terminal.file("status.txt"));  // ended by SIGINT
  const std::string modes = terminal.file("stty.txt");
  EXPECT_NE(std::string::npos, modes.find(" icanon")) << modes;
  EXPECT_NE(std::string::npos, modes.find(" echo ")) << modes;
}

RUN_ON_BOTH_MACHINES(KeyWaitTest);

}  // namespace
}  // namespace scenario
