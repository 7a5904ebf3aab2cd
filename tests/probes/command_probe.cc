// Runs one command text through the command runner, as the program runs its
// script, and ends with the runner's status:  command_probe TEXT
#include "platform/platform.h"

int main(int argc, char** argv) {
  platform::start_up();
  if (argc != 2) platform::end_run(2);
  platform::end_run(platform::run_command(argv[1]));
}
