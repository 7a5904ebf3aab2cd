// The preferences stage.
#include "app/preferences.h"

#include <algorithm>

#include "app/builds.h"
#include "app/places.h"

using namespace platform;

namespace tolvane {

namespace {

const char kPrefsFile[] = "preferences.txt";
const char kPortable[] = "\\portable\\";  // below a portable IDE's install folder

// Where each IDE keeps its preferences, in the order they are searched: a
// root (see place_root) and the data folder below it that holds the file.
struct PreferencesPlace {
  Text root;
  const char* folder;
};

std::vector<PreferencesPlace> preferences_places() {
  std::vector<PreferencesPlace> places = {
      {"%AppData%", "\\Arduino\\"},              // IDE 1.0
      {"%LocalAppData%", "\\Arduino15\\"},       // IDE 1.5 to 1.8
      {"<home>", "\\Documents\\ArduinoData\\"},  // IDE 1.8 from the Microsoft Store
      {"<documents>", "\\ArduinoData\\"},        // the same, Documents moved (to OneDrive)
  };
  for (const char* install : kInstallFolders) places.push_back({install, kPortable});
  return places;
}
const char kBuildKey[] = "build.path";
const char kSketchbookKey[] = "sketchbook.path";

const char kCannotOpen[] = "**Error** opening Ardunio preferences file:";
const char kNoAnsi[] = "**ERROR** This system's code page has no place for a character of";

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

// |line| with its value in the ANSI code page, or ends the run: UTF-8, as
// the IDE writes, is converted; other bytes are taken as they are.
Text in_ansi(const Text& line, const char* key, const RunRecord& run) {
  Text ansi;
  if (to_ansi(line, ansi)) return ansi;
  fail_and_wait(
      {kNoAnsi, "          '" + Text(key) + "' in the Arduino preferences file:", run.prefs_path});
}

}  // namespace

bool to_ansi(const Text& text, Text& ansi) {
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
  if (ascii || !is_utf8(text)) {
    ansi = text;
    return true;
  }
  return ansi_from_utf8(text, ansi);
}

Text preference_value(const Text& line) {
  long equals = find(1, line, "=");
  return trim(equals == 0 ? line : middle(line, equals + 1));
}

void read_preferences(RunRecord& run) {
  run.home_prefix = environment_value("HomeDrive") + environment_value("HomePath") + "\\";
  const std::vector<PreferencesPlace> places = preferences_places();
  // The first place is the one that the failure block names when none holds
  // the file, named as its variable gives it.
  run.prefs_path = environment_value("AppData") + places.front().folder + kPrefsFile;
  bool found = false, portable = false;
  for (const PreferencesPlace& place : places) {
    const Text root = place_root(place.root);
    const Text file = root + place.folder + kPrefsFile;
    if (root.empty() || !file_present(file) || passed_over(file)) continue;
    run.data_dir = root + place.folder;
    run.prefs_path = run.data_dir + kPrefsFile;
    portable = place.folder == Text(kPortable);
    found = true;
    break;
  }
  // Without a build of its own IDE, only a build path could name one.
  if (!found) {
    if (find_newest_build(run, Text())) return;
    fail_without_build(
        {"and for a preferences file naming build.path (IDE 1.x), first at:", run.prefs_path});
  }
  open_for_input(run.prefs_path);
  if (error_number() >= 1) fail_and_wait({kCannotOpen, run.prefs_path});

  run.build_line.clear();
  run.sketchbook_line.clear();
  Text line;
  while (!end_of_file()) {
    read_line(line);
    // Only the few lines that begin with a key are kept whole.
    if (begins_with_key(line, kBuildKey)) run.build_line = line;
    if (begins_with_key(line, kSketchbookKey)) run.sketchbook_line = line;
  }
  close_file();
  // Lowered once in the ANSI code page: UTF-8 bytes lowered as ANSI ones
  // would be another text.
  run.build_line = lower_case(trim(in_ansi(run.build_line, kBuildKey, run)));
  run.sketchbook_line = lower_case(trim(in_ansi(run.sketchbook_line, kSketchbookKey, run)));
  // A portable IDE writes its sketchbook relative to its portable folder.
  const Text sketchbook = preference_value(run.sketchbook_line);
  if (portable && !sketchbook.empty() && sketchbook[0] != '\\' && sketchbook[0] != '/' &&
      (sketchbook.size() < 2 || sketchbook[1] != ':')) {
    run.sketchbook_line = Text(kSketchbookKey) + "=" + run.data_dir + sketchbook;
  }

  // A build path of any length is taken, as long as there is one after "=".
  const Text build_path = preference_value(run.build_line);
  if (find(1, run.build_line, "=") == 0 || build_path.empty()) {
    if (find_newest_build(run, Text())) return;
    fail_without_build({"The preferences file read names no build.path:", run.prefs_path});
  }
  run.build_dir = build_path + "\\";
}

}  // namespace tolvane
