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
const char kNoElf[] = "**ERROR** Can not find '*.elf' file in build directory:";
// The folder in which IDE 1.6 to 1.8 build a sketch with unsaved edits, below
// the temporary folder; the IDE deletes it.
const char kTemporaryCopy[] = "arduino_modified_sketch_";

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

}  // namespace

Text sketch_name_of(const Text& elf_name) {
  long at = find(1, elf_name, kElfEnding);
  for (const char* source : kSourceEndings) {
    const Text ending = source + Text(".elf");
    if (at == 0 && ends_with(elf_name, ending)) at = length(elf_name) - length(ending) + 1;
  }
  return trim(left(elf_name, at - 1));
}

Text sketch_folder_of(const Text& sketch_location) {
  Text location;
  if (!to_ansi(sketch_location, location) || location.empty()) return Text();
  // The sketch file, or its folder.
  if (holds_sketch_ending(lower_case(location))) location.resize(location.find_last_of("\\/") + 1);
  if (!location.empty() && !ends_in_backslash(location) && !ends_with(location, "/")) {
    location += "\\";
  }
  return location;
}

void resolve_sketch(RunRecord& run) {
  // A build path's folder still needs its build; one found without comes
  // with its ELF file.
  if (run.elf_name.empty() && !find_newest_build(run, run.build_dir)) {
    std::vector<Text> lines = {kNoElf, run.build_dir,
                               "Nor was a build of any IDE found: press Verify in the Arduino",
                               "IDE, then run Tolvane again. Searched for builds in:"};
    for (const Text& line : build_place_lines()) lines.push_back(line);
    fail_and_wait(lines);
  }
  run.sketch_name = sketch_name_of(run.elf_name);

  const Text sketchbook =
      run.sketchbook_line.empty() ? Text() : preference_value(run.sketchbook_line);
  const Text& name = run.sketch_name;
  // The candidates in the order they are searched; an empty one stands for
  // the current directory.
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
  // The folder that the build names: first for a build found outside the
  // build path, as it names the very sketch built; after the others for a
  // build path; never a temporary copy of the sketch.
  run.recorded = recorded_options(run.build_dir);
  const Text built = sketch_folder_of(run.recorded.sketch_location);
  Text slashed = lower_case(built);
  for (char& byte : slashed) byte = byte == '/' ? '\\' : byte;
  if (!built.empty() && slashed.find(Text("\\") + kTemporaryCopy) == Text::npos) {
    candidates.insert(run.found_build.empty() ? candidates.end() : candidates.begin(), built);
  }

  // Every folder that holds the sketch may receive the script, in this
  // order, then the build folder.
  run.output_dirs.clear();
  std::vector<Text> probed;  // lower-cased: Windows names a folder in any case
  for (const Text& candidate : candidates) {
    const Text folded = lower_case(candidate);
    if (std::find(probed.begin(), probed.end(), folded) != probed.end()) continue;
    probed.push_back(folded);
    run.project_dir = candidate;
    for (const char* source : kSourceEndings) {
      if (!file_present(candidate + name + source)) continue;
      // Another user's folder would choose the script that runs.
      if (!passed_over(candidate)) run.output_dirs.push_back(candidate);
      break;
    }
  }
  run.output_dirs.push_back(run.build_dir);
  run.output_dir = run.output_dirs.front();
}

}  // namespace tolvane
