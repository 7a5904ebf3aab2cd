// The failure convention, shared by every platform.
#include "platform.h"

namespace platform {

void fail_and_wait(const std::vector<Text>& lines) {
  for (const Text& line : lines) print_line(line);
  wait_for_key();
  end_run(-1);
}

}  // namespace platform
