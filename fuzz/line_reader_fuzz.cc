// The shared line reader over any bytes, handed over in small pieces so that
// line ends fall across reads: no crash, and the lines hold every byte of a
// file without CR, NUL or Ctrl-Z but its line ends.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/line_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  size_t at = 0;
  platform::LineReader reader;
  reader.start(
      [&](char* into, size_t room) {
        const size_t count = std::min({room, size - at, 1 + at % 7});
        std::memcpy(into, bytes.data() + at, count);
        return at += count, count;
      },
      static_cast<long long>(size));
  std::string joined, line;
  for (size_t count = 0; !reader.at_end(); ++count) {
    if (count > size) std::abort();  // more lines than bytes
    reader.read_line(line);
    joined += line + "\n";
  }
  if (bytes.find_first_of(std::string("\r\0\x1a", 3)) == std::string::npos) {
    if (!bytes.empty() && bytes.back() != '\n') joined.pop_back();
    if (joined != bytes) std::abort();
  }
  return 0;
}
