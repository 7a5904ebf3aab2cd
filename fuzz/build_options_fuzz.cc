// The readers of the build's records over any bytes: no crash; what they
// find is UTF-8 without control bytes, as it reads back the same from a
// document that holds only it, escaped; and the compiler of a first entry
// stays the same whatever follows that entry.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/build_options.h"

using tolvane::build_options_of;
using tolvane::compiler_of;

static std::string escaped(const std::string& text) {
  std::string json;
  for (char byte : text)
    json += byte == '\\' || byte == '"' ? std::string("\\") + byte : std::string(1, byte);
  return json;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string json(reinterpret_cast<const char*>(data), size);
  const tolvane::BuildOptions options = build_options_of(json);
  for (const auto& [key, value] : {std::pair{"sketchLocation", options.sketch_location},
                                   {"customBuildProperties", options.custom_build_properties},
                                   {"builtInToolsFolders", options.built_in_tools_folders},
                                   {"toolsFolders", options.tools_folders}}) {
    const auto again =
        build_options_of("{\"" + std::string(key) + "\":\"" + escaped(value) + "\"}");
    if (value != again.sketch_location + again.custom_build_properties +
                     again.built_in_tools_folders + again.tools_folders)
      std::abort();
  }
  const std::string compiler = compiler_of(json);
  if ((!compiler.empty() && compiler_of(json + "\xFF]") != compiler) ||
      compiler_of("[{\"arguments\":[\"" + escaped(compiler) + "\"]}]") != compiler)
    std::abort();
  return 0;
}
