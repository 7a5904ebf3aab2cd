// The preferences stage over one whole preferences file of arbitrary bytes:
// the stage either takes the build directory and the sketchbook line that
// the file's lines give, or ends the run with the build-path block when
// they give no usable build path; it never ends any other way, and it
// leaves no file open behind it.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/preferences.h"
#include "fuzz_support.h"
#include "platform/platform.h"

namespace {

std::string trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return std::string();
  size_t end = text.size();
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
  return text.substr(begin, end - begin);
}

// Lower case as the "C" locale has it: A to Z only.
std::string lowered(std::string text) {
  for (char& byte : text) {
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
  }
  return text;
}

bool begins_with(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

struct Expected {
  std::string build_line;
  std::string sketchbook_line;
  std::string build_value;  // trimmed text after the first "="
  bool usable = false;      // a build line with "=" and a value after it
};

Expected expected_from(const std::string& bytes) {
  Expected expected;
  for (const std::string& line : fuzz::expected_lines(bytes)) {
    std::string key_line = lowered(trimmed(line));
    if (begins_with(key_line, "build.path")) expected.build_line = key_line;
    if (begins_with(key_line, "sketchbook.path")) expected.sketchbook_line = key_line;
  }
  size_t equals = expected.build_line.find('=');
  if (equals != std::string::npos) {
    expected.build_value = trimmed(expected.build_line.substr(equals + 1));
    expected.usable = !expected.build_value.empty();
  }
  return expected;
}

const std::string& app_data() {
  static const std::string dir = [] {
    std::string app_data = fuzz::scratch_dir() + "/appdata";
    mkdir(app_data.c_str(), 0755);
    mkdir((app_data + "/Arduino").c_str(), 0755);
    setenv("AppData", app_data.c_str(), 1);
    setenv("HomeDrive", "C:", 1);
    setenv("HomePath", "\\Users\\fuzz", 1);
    return app_data;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string prefs_path = app_data() + "\\Arduino\\preferences.txt";
  fuzz::write_file(app_data() + "/Arduino/preferences.txt", bytes);
  const Expected expected = expected_from(bytes);

  tolvane::RunRecord run;
  fuzz::clear_printed();
  try {
    tolvane::read_preferences(run);
  } catch (const fuzz::RunEnded& ended) {
    const std::vector<std::string>& lines = fuzz::printed();
    if (ended.status != -1 || lines.size() != 10 ||
        lines[0] != "**ERROR** This program requires that the 'build.path' is specified" ||
        lines[4] != "          build.path=C:\\Users\\fuzz\\Documents\\Arduino\\Build" ||
        lines[9] != prefs_path) {
      fuzz::finding("the stage ended in an unexpected way");
    }
    if (expected.usable) {
      fuzz::finding("the build-path block for the usable line " + fuzz::shown(expected.build_line));
    }
    platform::open_for_input(prefs_path);  // fails when the stage left the file open
    if (platform::error_number() != platform::no_error) fuzz::finding("the file was left open");
    platform::close_file();
    return 0;
  }

  if (!expected.usable) fuzz::finding("a build directory from " + fuzz::shown(bytes));
  if (run.prefs_path != prefs_path || run.home_prefix != "C:\\Users\\fuzz\\") {
    fuzz::finding("the environment values were not taken");
  }
  if (run.build_line != expected.build_line) {
    fuzz::finding("build_line " + fuzz::shown(run.build_line) + ", expected " +
                  fuzz::shown(expected.build_line));
  }
  if (run.sketchbook_line != expected.sketchbook_line) {
    fuzz::finding("sketchbook_line " + fuzz::shown(run.sketchbook_line) + ", expected " +
                  fuzz::shown(expected.sketchbook_line));
  }
  if (run.build_dir != expected.build_value + "\\") {
    fuzz::finding("build_dir " + fuzz::shown(run.build_dir) + ", expected " +
                  fuzz::shown(expected.build_value + "\\"));
  }
  if (!fuzz::printed().empty()) fuzz::finding("the stage printed on success");
  platform::open_for_input(prefs_path);
  if (platform::error_number() != platform::no_error) fuzz::finding("the file was left open");
  platform::close_file();
  return 0;
}
