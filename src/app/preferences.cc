// The preferences stage.
#include "app/preferences.h"

using namespace platform;

namespace tolvane {

namespace {

const char kPrefsFile[] = "\\Arduino\\preferences.txt";
const char kBuildKey[] = "build.path";
const char kSketchbookKey[] = "sketchbook.path";

const char kNotFound[] = "**ERROR** Can not find Ardunio preferences file:";
const char kCannotOpen[] = "**Error** opening Ardunio preferences file:";

[[noreturn]] void fail_on_build_path(const RunRecord& run) {
  fail_and_wait({
      "**ERROR** This program requires that the 'build.path' is specified",
      "          in the user's Ardunio preferences file. Please set up a",
      "          directory for builds and add it to your preferences file.",
      "  Example:",
      "          build.path=" + run.home_prefix + "Documents\\Arduino\\Build",
      "",
      "          Please also set preproc.save_build_files to true.",
      "",
      "Your Ardunio preferences file is:",
      run.prefs_path,
  });
}

// True when |line|, trimmed and lower-cased, begins with |key| (lower case,
// no spaces). Decided byte by byte after the leading spaces, without a copy
// of the line: most lines differ from the key at their first byte.
bool begins_with_key(const Text& line, const char* key) {
  size_t at = line.find_first_not_of(' ');
  for (; *key; ++key, ++at) {
    if (at >= line.size() || lower_case(Text(1, line[at]))[0] != *key) return false;
  }
  return true;
}

}  // namespace

Text preference_value(const Text& line) {
  long equals = find(1, line, "=");
  return trim(equals == 0 ? line : middle(line, equals + 1));
}

void read_preferences(RunRecord& run) {
  run.home_prefix = environment_value("HomeDrive") + environment_value("HomePath") + "\\";
  run.prefs_path = environment_value("AppData") + kPrefsFile;

  if (!file_present(run.prefs_path)) fail_and_wait({kNotFound, run.prefs_path});
  open_for_input(run.prefs_path);
  if (error_number() >= 1) fail_and_wait({kCannotOpen, run.prefs_path});

  run.build_line.clear();
  run.sketchbook_line.clear();
  Text line;
  while (!end_of_file()) {
    read_line(line);
    // Only the few lines that begin with a key are trimmed and lowered whole.
    if (begins_with_key(line, kBuildKey)) run.build_line = lower_case(trim(line));
    if (begins_with_key(line, kSketchbookKey)) run.sketchbook_line = lower_case(trim(line));
  }
  close_file();

  // A build path of any length is taken, as long as there is one after "=".
  const Text build_path = preference_value(run.build_line);
  if (find(1, run.build_line, "=") == 0 || build_path.empty()) fail_on_build_path(run);
  run.build_dir = build_path + "\\";
}

}  // namespace tolvane
