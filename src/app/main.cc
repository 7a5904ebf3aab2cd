// Process entry.
#include <vector>

#include "app/driver.h"

int main(int argc, char** argv) {
  platform::start_up();
  std::vector<platform::Text> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  tolvane::run(arguments);
}
