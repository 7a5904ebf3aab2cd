// The readers of the build's records over any bytes: no crash; what they
// find is UTF-8 without control bytes, as it reads back the same from a
// document that holds only it, escaped; and the compiler of a first entry
// stays the same whatever follows that entry.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/build_options.h"

namespace {

std::string escaped(const std::string& text) {
  std::string json;
  for (char byte : text) {
    if (byte == '\\' || byte == '"') json += '\\';
    json += byte;
  }
  return json;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string json(reinterpret_cast<const char*>(data), size);
  const tolvane::BuildOptions options = tolvane::build_options_of(json);
  const std::string members[][2] = {
      {"sketchLocation", options.sketch_location},
      {"customBuildProperties", options.custom_build_properties},
      {"builtInToolsFolders", options.built_in_tools_folders},
      {"toolsFolders", options.tools_folders},
  };
  for (const auto& [key, value] : members) {
    const tolvane::BuildOptions again =
        tolvane::build_options_of("{\"" + key + "\":\"" + escaped(value) + "\"}");
    if (value != again.sketch_location + again.custom_build_properties +
                     again.built_in_tools_folders + again.tools_folders) {
      std::abort();
    }
  }
  const std::string compiler = tolvane::compiler_of(json);
  if (!compiler.empty() && tolvane::compiler_of(json + "\xFF]") != compiler) std::abort();
  if (tolvane::compiler_of("[{\"arguments\":[\"" + escaped(compiler) + "\"]}]") != compiler)
    std::abort();
  return 0;
}
