// Setting environment variables on Windows, through the runtime so that both
// its copy and the system's hold the value.
#include <cstdlib>

#include "platform/platform.h"

namespace platform {

void set_environment_value(const Text& name, const Text& value) {
  _putenv((name + "=" + value).c_str());
}

}  // namespace platform
