// The sketch and output-directory stage.
#include "app/sketch.h"

#include <algorithm>

#include "app/build_options.h"
#include "app/builds.h"
#include "app/places.h"
#include "app/preferences.h"

using namespace platform;

namespace tolvane {

namespace {

const char kElfEnding[] = ".cpp.elf";
// The endings of a sketch's main file; a build of it is named "<sketch><ending>.elf".
const char* const kSourceEndings[] = {".ino", ".pde"};
// The folder in which IDE 1.6 to 1.8 build a sketch with unsaved edits, below
// the temporary folder; the IDE deletes it.
const char kTemporaryCopy[] = "arduino_modified_sketch_";
const char kNoPlaceInCodePage[] =
    "Passed over, as this system's code page lacks a character of its name: ";
// The start of the name of the folder (lower case) in which IDE 2 keeps a
// sketch of File > New or File > Examples until it is saved, in the
// temporary folder; named as it is, as the temporary folder may be named by
// its short name.
const char* const kUnsavedCopies[] = {".arduinoide-unsaved"};

bool ends_with(const Text& text, const Text& ending) {
  return text.size() >= ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// True when |name| (lower case) ends like a sketch's main file.
bool holds_sketch_ending(const Text& name) {
  for (const char* source : kSourceEndings) {
    if (ends_with(name, source)) return true;
  }
  return false;
}

// True when |folder| holds the sketch |name|'s main file.
bool holds_sketch(const Text& folder, const Text& name) {
  for (const char* source : kSourceEndings) {
    if (file_present(folder + name + source)) return true;
  }
  return false;
}

// |folder| by its full path, ending with a separator; the empty text
// stands for the current folder.
Text full_folder(const Text& folder) {
  Text full = full_path(folder.empty() ? Text(".") : folder);
  if (!ends_in_backslash(full)) full += "\\";
  return full;
}

// The folders that may hold the sketch by its name alone, in the order they
// are searched, for a build that records none; an empty one stands for the
// current directory.
std::vector<Text> named_candidates(const RunRecord& run) {
  const Text sketchbook =
      run.sketchbook_line.empty() ? Text() : preference_value(run.sketchbook_line);
  const Text& name = run.sketch_name;
  std::vector<Text> candidates = {
      run.sketchbook_line.empty() ? Text() : sketchbook + "\\sketches\\" + name + "\\",
      sketchbook + "\\" + name + "\\",
      run.home_prefix + "Documents\\Projects\\" + name + "\\",
      run.home_prefix + "My Documents\\Projects\\" + name + "\\",
      run.home_prefix + "Documents\\Arduino\\" + name + "\\",
      run.home_prefix + "My Documents\\Arduino\\" + name + "\\",
  };
  // The same below the shell's Documents folder, which OneDrive keeps elsewhere.
  // Where it is the one above, its folders come twice and are probed once.
  const Text documents = place_root("<documents>");
  for (const char* below : {"\\Projects\\", "\\Arduino\\"}) {
    if (!documents.empty()) candidates.push_back(documents + below + name + "\\");
  }
  return candidates;
}

}  // namespace

Text sketch_name_of(const Text& elf_name) {
  long at = find(1, elf_name, kElfEnding);
  for (const char* source : kSourceEndings) {
    const Text ending = source + Text(".elf");
    if (at == 0 && ends_with(elf_name, ending)) at = length(elf_name) - length(ending) + 1;
  }
  return trim(left(elf_name, at - 1));
}

bool sketch_folder_of(const Text& sketch_location, Text& location) {
  const bool converted = to_ansi(sketch_location, location);
  // The sketch file, or its folder.
  if (holds_sketch_ending(lower_case(location))) location.resize(location.find_last_of("\\/") + 1);
  if (!location.empty() && !ends_in_backslash(location) && !ends_with(location, "/")) {
    location += "\\";
  }
  return converted;
}

void resolve_sketch(RunRecord& run) {
  run.sketch_name = sketch_name_of(run.elf_name);

  // The folder that the build records holds the very sketch built: it alone
  // may receive the script, before the build folder. For a build that
  // records none, or a folder that no longer holds it, every folder that
  // holds a sketch of its name may, in their order.
  run.recorded = recorded_options(run.build_dir);
  // One that the code page cannot name is passed over for the build folder,
  // never for another sketch of its name.
  Text built;
  const bool nameable = sketch_folder_of(run.recorded.sketch_location, built);
  if (!nameable) print_line(kNoPlaceInCodePage + built);
  Text slashed = lower_case(built);
  for (char& byte : slashed) byte = byte == '/' ? '\\' : byte;
  const bool copy = slashed.find(Text("\\") + kTemporaryCopy) != Text::npos;
  const bool recorded = nameable && !built.empty() && !copy && holds_sketch(built, run.sketch_name);
  // IDE 1.6 to 1.8 build a sketch with unsaved edits from a temporary copy,
  // which records no home: of the sketch of the same name, or of an example.
  const std::vector<Text> candidates = recorded            ? std::vector<Text>{built}
                                       : nameable && !copy ? named_candidates(run)
                                                           : std::vector<Text>();
  run.output_dirs.clear();
  std::vector<Text> probed;  // lower-cased: Windows names a folder in any case
  // Each by its full path: the current folder, too, is checked as any other.
  for (const Text& named : candidates) {
    const Text candidate = full_folder(named);
    const Text folded = lower_case(candidate);
    if (std::find(probed.begin(), probed.end(), folded) != probed.end()) continue;
    probed.push_back(folded);
    run.project_dir = candidate;
    // Another user's folder would choose the script that runs.
    if ((recorded || holds_sketch(candidate, run.sketch_name)) && !passed_over(candidate))
      run.output_dirs.push_back(candidate);
  }
  // The name of the folder that holds the sketch's folder.
  const size_t end = slashed.find_last_of('\\', slashed.size() - 2);
  const size_t start = end == Text::npos ? end : slashed.find_last_of('\\', end - 1) + 1;
  for (const char* unsaved : kUnsavedCopies) {
    if (recorded && start != Text::npos && slashed.compare(start, length(unsaved), unsaved) == 0)
      run.unsaved_copy = full_folder(built);
  }
  run.output_dirs.push_back(run.build_dir);
  run.output_dir = run.output_dirs.front();
}

}  // namespace tolvane
