// Drives the console operations from the command line, for tests:
//   console_probe fail LINE...   prints the lines, waits for a key, ends with -1
//   console_probe print LINE...  prints the lines and ends with 0
#include <cstring>
#include <vector>

#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::start_up();
  std::vector<platform::Text> lines(argv + (argc > 1 ? 2 : 1), argv + argc);
  if (argc > 1 && std::strcmp(argv[1], "fail") == 0) platform::fail_and_wait(lines);
  for (const platform::Text& line : lines) platform::print_line(line);
  platform::end_run(0);
}
