// Script lines over any bytes: no crash, and every word and file that the
// interpreter would use is made of the line's own bytes, quotes taken out.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/posix/script_line.h"

namespace {

// True when |word| is |line| with some bytes left out, in order.
bool drawn_from(const std::string& word, const std::string& line) {
  size_t at = 0;
  for (char byte : word) {
    at = line.find(byte, at);
    if (at++ == std::string::npos) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace platform::posix;
  const std::string line(reinterpret_cast<const char*>(data), size);
  const ScriptLine parsed = parse_script_line(line);
  std::vector<std::string> used = parsed.words;
  for (const Redirection& redirection : parsed.redirections) used.push_back(redirection.path);
  for (const std::string& word : used) {
    if (word.find('"') != std::string::npos || !drawn_from(word, line)) std::abort();
  }
  script_path_of(line,
                 [&](const std::string& name) { return name.size() < 4 ? line : std::string(); });
  return 0;
}
