// Writes one line to a file and ends the process without closing it, to show
// that the exit sequence still stores what was written.
// Usage: unclosed_file PATH   (ends with status 3)
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::start_up();
  if (argc != 2) platform::end_run(2);
  platform::open_for_output(argv[1]);
  platform::write_line("kept");
  platform::end_run(3);
}
