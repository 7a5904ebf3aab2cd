// The line reader over any bytes: no crash, and the lines hold every byte of
// a file without CR, NUL or Ctrl-Z but its line ends.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace platform;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  static const std::string path = "/tmp/tolvane-fuzz-" + std::to_string(getpid());
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  open_for_input(path);
  std::string joined;
  size_t count = 0;
  for (Text line; !end_of_file(); ++count) {
    read_line(line);
    joined += line + "\n";
    if (count > size) std::abort();  // more lines than bytes
  }
  close_file();
  if (joined.size() > size + 1) std::abort();
  if (bytes.find_first_of(std::string("\r\0\x1a", 3)) == std::string::npos) {
    if (!bytes.empty() && bytes.back() != '\n') joined.pop_back();
    if (joined != bytes) std::abort();
  }
  return 0;
}
