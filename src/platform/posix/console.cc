// Console output, the key wait and the end of the process on POSIX.
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>

#include "platform/exit_steps.h"
#include "platform/platform.h"
#include "platform/posix/write_all.h"

namespace platform {

namespace {

constexpr long kPollInterval = 50'000'000;  // nanoseconds between polls

// Terminal state while the wait has changed it; read by the signal handlers.
struct termios saved_mode;
volatile sig_atomic_t mode_changed = 0;
volatile sig_atomic_t hang_up = 0;

const int kEndingSignals[] = {SIGINT, SIGQUIT, SIGTERM};
struct sigaction earlier_hang_up;
struct sigaction earlier_ending[sizeof kEndingSignals / sizeof kEndingSignals[0]];

void restore_mode() {
  if (mode_changed) tcsetattr(STDIN_FILENO, TCSANOW, &saved_mode);
  mode_changed = 0;
}

// The terminal is closing: that counts as a key.
void on_hang_up(int) { hang_up = 1; }

// Ctrl+C and its like still end the process, with the terminal put back first.
void on_ending_signal(int number) {
  restore_mode();
  std::signal(number, SIG_DFL);
  raise(number);
}

void install_handlers() {
  struct sigaction action = {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = on_hang_up;
  sigaction(SIGHUP, &action, &earlier_hang_up);
  action.sa_handler = on_ending_signal;
  int i = 0;
  for (int number : kEndingSignals) sigaction(number, &action, &earlier_ending[i++]);
}

void remove_handlers() {
  sigaction(SIGHUP, &earlier_hang_up, nullptr);
  int i = 0;
  for (int number : kEndingSignals) sigaction(number, &earlier_ending[i++], nullptr);
}

// True when a key was pressed since the last poll, or the terminal is gone.
bool poll_key() {
  if (hang_up) return true;
  char bytes[64];
  ssize_t got = read(STDIN_FILENO, bytes, sizeof bytes);
  if (got > 0) return true;
  return got < 0 && errno != EINTR && errno != EAGAIN;
}

}  // namespace

void print_line(const Text& text) {
  posix::write_all(STDOUT_FILENO, text.data(), text.size());
  posix::write_all(STDOUT_FILENO, "\r\n", 2);
}

void wait_for_key() {
  // Without a terminal no key can come: a run from a script never hangs.
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_mode) != 0) return;

  hang_up = 0;
  install_handlers();
  struct termios waiting = saved_mode;
  waiting.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  waiting.c_cc[VMIN] = 0;  // reads give what is pending and never block
  waiting.c_cc[VTIME] = 0;
  mode_changed = 1;
  // TCSANOW keeps a key typed before the wait: it ends the wait at once.
  tcsetattr(STDIN_FILENO, TCSANOW, &waiting);

  while (!poll_key()) {
    struct timespec pause = {0, kPollInterval};
    nanosleep(&pause, nullptr);
  }
  // The rest of an escape sequence, and anything typed after it, must not
  // reach the shell.
  tcflush(STDIN_FILENO, TCIFLUSH);
  restore_mode();
  remove_handlers();
}

bool console_input() {
  struct termios mode;
  return isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &mode) == 0;
}

bool owns_console() {
  // A shell that started the program leads the terminal's session itself.
  return isatty(STDIN_FILENO) && tcgetsid(STDIN_FILENO) == getpid();
}

void end_run(int status) {
  restore_mode();
  close_file_at_exit();
  std::exit(status);
}

}  // namespace platform
