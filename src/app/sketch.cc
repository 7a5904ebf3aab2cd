// The sketch and output-directory stage.
#include "app/sketch.h"

#include "app/preferences.h"

using namespace platform;

namespace tolvane {

namespace {

const char kElfPattern[] = "*.elf";
const char kElfEnding[] = ".cpp.elf";
const char kSourceEnding[] = ".ino";
const char kNoElf[] = "**ERROR** Can not find '*.elf' file in build directory:";

}  // namespace

Text sketch_name_of(const Text& elf_name) {
  long at = find(1, elf_name, kElfEnding);
  return trim(left(elf_name, at - 1));
}

void resolve_sketch(RunRecord& run) {
  run.elf_name = first_match(run.build_dir + kElfPattern);
  if (run.elf_name.empty()) fail_and_wait({kNoElf, run.build_dir});
  run.sketch_name = sketch_name_of(run.elf_name);

  const Text sketchbook =
      run.sketchbook_line.empty() ? Text() : preference_value(run.sketchbook_line);
  const Text& name = run.sketch_name;
  // The candidates in the order they are searched; an empty one stands for
  // the current directory.
  const Text candidates[] = {
      run.sketchbook_line.empty() ? Text() : sketchbook + "\\sketches\\" + name + "\\",
      sketchbook + "\\" + name + "\\",
      run.home_prefix + "Documents\\Projects\\" + name + "\\",
      run.home_prefix + "My Documents\\Projects\\" + name + "\\",
      run.home_prefix + "Documents\\Arduino\\" + name + "\\",
      run.home_prefix + "My Documents\\Arduino\\" + name + "\\",
  };

  run.output_dir = run.build_dir;
  for (const Text& candidate : candidates) {
    run.project_dir = candidate;
    if (file_present(run.project_dir + name + kSourceEnding)) {
      run.output_dir = run.project_dir;
      return;
    }
  }
}

}  // namespace tolvane
