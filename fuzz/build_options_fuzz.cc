// The build.options.json reader over any bytes: no crash, and a location it
// gives reads back the same from a document that holds only it, escaped, so
// that it is valid UTF-8 without control bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/build_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string location =
      tolvane::sketch_location(std::string(reinterpret_cast<const char*>(data), size));
  std::string escaped;
  for (char byte : location) {
    if (byte == '\\' || byte == '"') escaped += '\\';
    escaped += byte;
  }
  if (tolvane::sketch_location("{\"sketchLocation\":\"" + escaped + "\"}") != location)
    std::abort();
  return 0;
}
