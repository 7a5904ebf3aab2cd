// Prints each command-line argument on a line of its own through the
// platform layer, to show how the runtime expanded the command line.
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::start_up();
  for (int i = 1; i < argc; ++i) platform::print_line(argv[i]);
  platform::end_run(0);
}
