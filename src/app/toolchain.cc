// The toolchain stage.
#include "app/toolchain.h"

using namespace platform;

namespace tolvane {

namespace {

const char* const kToolDirectories[] = {
    "C:\\Program Files (x86)\\Arduino\\hardware\\tools\\avr\\bin\\",
    "C:\\Program Files\\Arduino\\hardware\\tools\\avr\\bin\\",
    "C:\\Arduino\\hardware\\tools\\avr\\bin\\",
    "C:\\bin\\Arduino\\hardware\\tools\\avr\\bin\\",
};
const char kObjdump[] = "avr-objdump.exe";
const char kReadelf[] = "avr-readelf.exe";
const char kIndent[] = "    ";

}  // namespace

std::vector<Text> tool_directory_lines() {
  std::vector<Text> lines;
  for (const char* directory : kToolDirectories) lines.push_back(kIndent + Text(directory));
  return lines;
}

void locate_toolchain(RunRecord& run) {
  run.objdump_path.clear();
  for (const char* directory : kToolDirectories) {
    Text candidate = directory + Text(kObjdump);
    if (file_present(candidate)) run.objdump_path = candidate;
  }
  if (run.objdump_path.empty()) {
    std::vector<Text> lines = {"**ERROR** Can not find 'avr-objdump.exe'.", "Searched:"};
    for (const Text& line : tool_directory_lines()) lines.push_back(line);
    fail_and_wait(lines);
  }
  run.readelf_path = left(run.objdump_path, find(1, run.objdump_path, kObjdump) - 1) + kReadelf;
}

}  // namespace tolvane
