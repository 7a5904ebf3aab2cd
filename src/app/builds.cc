// The stage that finds the IDE's newest build.
#include "app/builds.h"

#include "app/places.h"

using namespace platform;

namespace tolvane {

namespace {

// Where the IDEs build when no build path is set: a root (see place_root),
// the folder below it, and the pattern of the build folders there.
struct BuildPlace {
  const char* root;
  const char* folder;
  const char* builds;
};

const BuildPlace kBuildPlaces[] = {
    {"%LocalAppData%", "\\arduino\\sketches\\", "*"},  // IDE 2.3 and later
    {"<temp>", "\\arduino\\sketches\\", "*"},          // IDE 2.0 to 2.2
    {"<temp>", "\\", "arduino-sketch-*"},              // the first IDE 2.0 releases
    {"<temp>", "\\", "arduino_build_*"},               // IDE 1.6 to 1.8
    {"<temp>", "\\", "build*.tmp"},                    // IDE 1.0
};

}  // namespace

bool find_newest_build(RunRecord& run) {
  bool found = false;
  long long newest = 0;
  for (const BuildPlace& place : kBuildPlaces) {
    const Text root = place_root(place.root);
    if (root.empty()) continue;
    const Text folder = root + place.folder;
    for (const Entry& build : matches(folder + place.builds)) {
      if (!build.folder) continue;
      const Text build_dir = folder + build.name + "\\";
      // A folder that is gone by now lists nothing.
      for (const Entry& elf : matches(build_dir + "*.elf")) {
        if (elf.folder || (found && elf.written <= newest)) continue;
        found = true;
        newest = elf.written;
        run.build_dir = build_dir;
        run.elf_name = elf.name;
      }
    }
  }
  if (found) run.found_build = run.build_dir + run.elf_name;
  return found;
}

}  // namespace tolvane
