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
const char kNoElf[] = "**ERROR** Can not find '*.elf' file in build directory:";
const char kNoAnsi[] = "**ERROR** This system's code page has no place for a character of";
const char kUnreadable[] = "Passed over, as it can not be read: ";
const char kNoPlaceFor[] = "Passed over, as this system's code page lacks a character of its ";

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

// What one IDE's preferences file says: its place, and its last build and
// sketchbook lines, trimmed and lower-cased in the ANSI code page.
struct Preferences {
  Text path, data_dir, build_line, sketchbook_line;
};

// Reads the preferences file in |data_dir| into |prefs|. When it is |alone|,
// one that cannot be read ends the run; one of several is passed over, with
// a line that says so, and false.
bool read_file_of(const Text& data_dir, bool portable, bool alone, RunRecord& run,
                  Preferences& prefs) {
  prefs = {data_dir + kPrefsFile, data_dir, Text(), Text()};
  run.prefs_path = prefs.path;  // as the failure blocks name it
  open_for_input(prefs.path);
  if (error_number() >= 1 && alone) fail_and_wait({kCannotOpen, prefs.path});
  if (error_number() >= 1) {
    print_line(kUnreadable + prefs.path);
    return false;
  }
  Text line;
  while (!end_of_file()) {
    read_line(line);
    // Only the few lines that begin with a key are kept whole.
    if (begins_with_key(line, kBuildKey)) prefs.build_line = line;
    if (begins_with_key(line, kSketchbookKey)) prefs.sketchbook_line = line;
  }
  close_file();
  // Lowered once in the ANSI code page: UTF-8 bytes lowered as ANSI ones
  // would be another text.
  for (auto [line, key] :
       {std::pair{&prefs.build_line, kBuildKey}, {&prefs.sketchbook_line, kSketchbookKey}}) {
    Text ansi;
    if (!to_ansi(*line, ansi)) {
      if (alone)
        fail_and_wait({kNoAnsi, "          '" + Text(key) + "' in the Arduino preferences file:",
                       prefs.path});
      print_line(kNoPlaceFor + Text(key) + ": " + prefs.path);
      return false;
    }
    *line = lower_case(trim(ansi));
  }
  // A portable IDE writes its sketchbook relative to its portable folder.
  const Text sketchbook = preference_value(prefs.sketchbook_line);
  if (portable && !sketchbook.empty() && sketchbook[0] != '\\' && sketchbook[0] != '/' &&
      (sketchbook.size() < 2 || sketchbook[1] != ':')) {
    prefs.sketchbook_line = Text(kSketchbookKey) + "=" + data_dir + sketchbook;
  }
  return true;
}

// Takes |prefs| as the preferences of the run.
void take(const Preferences& prefs, RunRecord& run) {
  run.prefs_path = prefs.path;
  run.data_dir = prefs.data_dir;
  run.build_line = prefs.build_line;
  run.sketchbook_line = prefs.sketchbook_line;
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
  // Every IDE's file counts: an old one does not hide a newer IDE's.
  std::vector<std::pair<Text, bool>> present;  // data folders, and whether portable
  for (const PreferencesPlace& place : places) {
    const Text root = place_root(place.root);
    const Text file = root + place.folder + kPrefsFile;
    if (root.empty() || !file_present(file) || passed_over(file)) continue;
    present.push_back({root + place.folder, place.folder == Text(kPortable)});
  }
  std::vector<Preferences> found;
  for (const auto& [data_dir, portable] : present) {
    Preferences prefs;
    if (read_file_of(data_dir, portable, present.size() == 1, run, prefs)) found.push_back(prefs);
  }
  // Without a build of its own IDE, only a build path could name one.
  std::vector<Text> build_dirs;
  std::vector<size_t> naming;  // of each build path, the file that names it
  for (size_t i = 0; i < found.size(); ++i) {
    const Text build_path = preference_value(found[i].build_line);
    if (find(1, found[i].build_line, "=") == 0 || build_path.empty()) continue;
    build_dirs.push_back(build_path + "\\");
    naming.push_back(i);
  }
  if (!found.empty()) take(found.front(), run);
  size_t named_by = 0;
  if (find_newest_build(run, build_dirs, named_by)) {
    // The sketchbook of the file whose build path named the build.
    if (named_by < naming.size()) take(found[naming[named_by]], run);
    return;
  }
  if (found.empty()) {
    fail_without_build(
        {"and for a preferences file naming build.path (IDE 1.x), first at:", run.prefs_path});
  }
  if (build_dirs.empty()) {
    std::vector<Text> lines = {found.size() > 1 ? "The preferences files read name no build.path:"
                                                : "The preferences file read names no build.path:"};
    for (const Preferences& prefs : found) lines.push_back(prefs.path);
    fail_without_build(lines);
  }
  take(found[naming.front()], run);
  run.build_dir = build_dirs.front();
  std::vector<Text> lines = {kNoElf};
  lines.insert(lines.end(), build_dirs.begin(), build_dirs.end());
  lines.insert(lines.end(), {"Nor was a build of any IDE found: press Verify in the Arduino",
                             "IDE, then run Tolvane again. Searched for builds in:"});
  for (const Text& line : build_place_lines()) lines.push_back(line);
  fail_and_wait(lines);
}

}  // namespace tolvane
