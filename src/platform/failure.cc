// The failure convention, shared by every platform.
#include "platform.h"

namespace platform {

void prompt_and_wait() {
  // A wait that says nothing looks like a hang in a command prompt.
  if (!console_input()) return;
  print_line(owns_console() ? "Press a key to close this window." : "Press a key to go on.");
  wait_for_key();
}

void fail_and_wait(const std::vector<Text>& lines) {
  for (const Text& line : lines) print_line(line);
  prompt_and_wait();
  end_run(-1);
}

}  // namespace platform
