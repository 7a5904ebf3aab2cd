// The native program under valgrind's memcheck: the typical run from end to
// end, and the help text, with no memory error and no leak. (A build with
// the sanitizers has them watch every run instead, and skips this.)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "scenario.h"

extern char** environ;

namespace scenario {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct Checked {
  int status = -1;  // valgrind's, which is the program's unless it found something
  std::string report;
};

class MemcheckTest : public Scenario {
 protected:
  void SetUp() override {
    if (kSanitized) GTEST_SKIP() << "built with the sanitizers, which valgrind cannot run under";
    ASSERT_EQ(0, std::system("command -v valgrind >/dev/null 2>&1"))
        << "valgrind is not installed (scripts/install-deps installs it)";
    Scenario::SetUp();
  }

  // Runs the native program under memcheck with the user's environment, in
  // the test area, standard input from /dev/null.
  Checked run_under_memcheck(const std::vector<std::string>& arguments) {
    const std::string drive_c = host("C:\\");  // <drives>/c/
    const std::string drives = drive_c.substr(0, drive_c.size() - 3);
    const std::string log = drives + "/memcheck.log";
    std::vector<std::string> argv = {
        "valgrind",
        "--tool=memcheck",
        "--error-exitcode=99",
        "--leak-check=full",
        "--show-leak-kinds=definite,indirect,possible",
        "--errors-for-leak-kinds=definite,indirect,possible",
        "--log-file=" + log,
        TOLVANE_NATIVE_PROGRAM,
    };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
      std::string text = *entry;
      std::string name = text.substr(0, text.find('='));
      if (name != "TOLVANE_DRIVES" && name != "AppData" && name != "HomeDrive" &&
          name != "HomePath") {
        environment.push_back(text);
      }
    }
    environment.push_back("TOLVANE_DRIVES=" + drives);
    for (const harness::Setting& setting : user_call().environment) {
      environment.push_back(setting.first + "=" + *setting.second);
    }

    pid_t pid = fork();
    if (pid == 0) {
      int null_in = open("/dev/null", O_RDONLY);
      int null_out = open("/dev/null", O_WRONLY);
      dup2(null_in, 0);
      dup2(null_out, 1);
      if (chdir(host(kArea).c_str()) != 0) _exit(126);
      std::vector<char*> args;
      for (std::string& arg : argv) args.push_back(arg.data());
      args.push_back(nullptr);
      std::vector<char*> env;
      for (std::string& entry : environment) env.push_back(entry.data());
      env.push_back(nullptr);
      execvpe(args[0], args.data(), env.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Checked checked;
    checked.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    checked.report = harness::read_file(log);
    unlink(log.c_str());
    return checked;
  }
};

TEST_P(MemcheckTest, TheTypicalRunFromEndToEnd) {
  typical_setup();
  Checked checked = run_under_memcheck({});
  EXPECT_EQ(0, checked.status) << checked.report;
  EXPECT_NE(std::string::npos, checked.report.find("ERROR SUMMARY: 0 errors")) << checked.report;
  const std::string out_dir = "C:\\tolvane-test\\book\\sketches\\blink\\";
  EXPECT_NE(std::string::npos, read(out_dir + "blink.asm.txt").find("<main>:"));
  EXPECT_NE(std::string::npos, read(out_dir + "blink.hrd.txt").find("ELF Header:"));
}

TEST_P(MemcheckTest, TheHelpText) {
  Checked checked = run_under_memcheck({"/?"});
  EXPECT_EQ(0, checked.status) << checked.report;
  EXPECT_NE(std::string::npos, checked.report.find("ERROR SUMMARY: 0 errors")) << checked.report;
}

TEST_P(MemcheckTest, AFailure) {
  Checked checked = run_under_memcheck({});  // no preferences file
  EXPECT_EQ(255, checked.status) << checked.report;
  EXPECT_NE(std::string::npos, checked.report.find("ERROR SUMMARY: 0 errors")) << checked.report;
}

INSTANTIATE_TEST_SUITE_P(Native, MemcheckTest, ::testing::Values(std::string("native")));

}  // namespace
}  // namespace scenario
