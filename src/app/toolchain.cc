// The toolchain stage.
#include "app/toolchain.h"

#include <cctype>

#include "app/places.h"

using namespace platform;

namespace tolvane {

namespace {

const char kToolsBelowInstall[] = "\\hardware\\tools\\avr\\bin\\";
// The Boards Manager's toolchains below an IDE's data folder, one folder per
// version, and the tools below each.
const char kVersionsBelowData[] = "packages\\arduino\\tools\\avr-gcc\\";
const char kToolsBelowVersion[] = "\\bin\\";
const char kDefaultData[] = "\\Arduino15\\";  // below %LocalAppData%
const char kObjdump[] = "avr-objdump.exe";
const char kReadelf[] = "avr-readelf.exe";
const char kIndent[] = "    ";

bool is_digit(char byte) { return std::isdigit(static_cast<unsigned char>(byte)) != 0; }

// The Boards Manager's newest avr-objdump.exe below |data_dir|; empty when
// it holds none.
Text newest_boards_manager_tool(const Text& data_dir) {
  const Text versions = data_dir + kVersionsBelowData;
  Text newest, tool;
  for (const Entry& version : matches(versions + "*")) {
    const Text candidate = versions + version.name + kToolsBelowVersion + kObjdump;
    if (!version.folder || (!newest.empty() && !version_below(newest, version.name)) ||
        !file_present(candidate)) {
      continue;
    }
    newest = version.name;
    tool = candidate;
  }
  return tool;
}

}  // namespace

bool version_below(const Text& a, const Text& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (is_digit(a[i]) && is_digit(b[j])) {
      // Numbers compare by value: leading zeros go, then the longer is larger.
      while (i < a.size() && a[i] == '0') ++i;
      while (j < b.size() && b[j] == '0') ++j;
      size_t end_a = i, end_b = j;
      while (end_a < a.size() && is_digit(a[end_a])) ++end_a;
      while (end_b < b.size() && is_digit(b[end_b])) ++end_b;
      const int order = end_a - i != end_b - j ? (end_a - i < end_b - j ? -1 : 1)
                                               : a.compare(i, end_a - i, b, j, end_b - j);
      if (order != 0) return order < 0;
      i = end_a;
      j = end_b;
    } else if (a[i] != b[j]) {
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    } else {
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

std::vector<Text> tool_directory_lines() {
  std::vector<Text> lines;
  for (const char* install : kInstallFolders)
    lines.push_back(kIndent + (install + Text(kToolsBelowInstall)));
  return lines;
}

void locate_toolchain(RunRecord& run) {
  run.objdump_path.clear();
  for (const char* install : kInstallFolders) {
    Text candidate = install + Text(kToolsBelowInstall) + kObjdump;
    if (file_present(candidate)) {
      run.objdump_path = candidate;
      break;
    }
  }
  // Then the Boards Manager's, in the data folder of the preferences found
  // and in the one that IDE 1.5 and later share.
  const Text shared = place_root("%LocalAppData%");
  for (const Text& data : {run.data_dir, shared.empty() ? shared : shared + kDefaultData}) {
    if (!run.objdump_path.empty() || data.empty()) continue;
    run.objdump_path = newest_boards_manager_tool(data);
  }
  if (run.objdump_path.empty()) {
    std::vector<Text> lines = {"**ERROR** Can not find 'avr-objdump.exe'.", "Searched:"};
    for (const Text& line : tool_directory_lines()) lines.push_back(line);
    fail_and_wait(lines);
  }
  run.readelf_path = left(run.objdump_path, find(1, run.objdump_path, kObjdump) - 1) + kReadelf;
}

}  // namespace tolvane
