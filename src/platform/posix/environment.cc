// Setting environment variables on POSIX.
#include <cstdlib>

#include "platform/platform.h"

namespace platform {

void set_environment_value(const Text& name, const Text& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace platform
