// The stage that finds the build just made.
#include "app/builds.h"

#include <algorithm>
#include <iterator>

#include "app/places.h"

using namespace platform;

namespace tolvane {

namespace {

// Where the IDEs build when no build path is set: a root (see place_root),
// the folder below it, the pattern of the build folders there, and whether
// the IDE deletes its build folder when it closes.
struct BuildPlace {
  const char* root;
  const char* folder;
  const char* builds;
  bool deleted_on_close;
};

const BuildPlace kBuildPlaces[] = {
    {"%LocalAppData%", "\\arduino\\sketches\\", "*", false},  // IDE 2.3 and later
    {"<temp>", "\\arduino\\sketches\\", "*", false},          // IDE 2.0 to 2.2
    {"<temp>", "\\", "arduino-sketch-*", false},              // the first IDE 2.0 releases
    {"<temp>", "\\", "arduino_build_*", true},                // IDE 1.6 to 1.8
    {"<temp>", "\\", "build*.tmp", true},                     // IDE 1.0
};

unsigned char capital(char byte) {
  const unsigned char code = static_cast<unsigned char>(byte);
  return code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code;
}

// An ELF file found: when written, the place searched (the build paths'
// folders from 0, then the table's), its build folder's own name, its
// build folder and its name.
struct Build {
  long long written;
  size_t place;
  Text build_name, build_dir, elf_name;
};

// True when |a| is taken over |b|: written later; on equal times found in
// an earlier place, or in the same place first in name order.
bool taken_over(const Build& a, const Build& b) {
  if (a.written != b.written) return a.written > b.written;
  if (a.place != b.place) return a.place < b.place;
  if (a.build_name != b.build_name) return listed_before(a.build_name, b.build_name);
  return listed_before(a.elf_name, b.elf_name);
}

}  // namespace

bool listed_before(const Text& a, const Text& b) {
  for (size_t at = 0; at < a.size() && at < b.size(); ++at) {
    if (capital(a[at]) != capital(b[at])) return capital(a[at]) < capital(b[at]);
  }
  return a.size() < b.size();
}

bool find_newest_build(RunRecord& run, const std::vector<Text>& build_path_dirs, size_t& named_by) {
  std::vector<Build> builds;
  auto take = [&](size_t place, const Text& build_dir, const Text& build_name) {
    // A folder that is gone by now lists nothing.
    for (const Entry& elf : matches(build_dir + "*.elf")) {
      if (!elf.folder) builds.push_back({elf.written, place, build_name, build_dir, elf.name});
    }
  };
  const size_t paths = build_path_dirs.size();
  for (size_t place = 0; place < paths; ++place) take(place, build_path_dirs[place], Text());
  for (size_t i = 0; i < std::size(kBuildPlaces); ++i) {
    const Text root = place_root(kBuildPlaces[i].root);
    if (root.empty()) continue;
    const Text folder = root + kBuildPlaces[i].folder;
    for (const Entry& build : matches(folder + kBuildPlaces[i].builds)) {
      if (build.folder) take(paths + i, folder + build.name + "\\", build.name);
    }
  }
  // The newest of those whose folder and ELF file nobody else owns.
  std::sort(builds.begin(), builds.end(), taken_over);
  auto trusted = [&](const Build& build) {
    return !passed_over(build.build_dir) && !passed_over(build.build_dir + build.elf_name);
  };
  const auto taken = std::find_if(builds.begin(), builds.end(), trusted);
  if (taken == builds.end()) return false;
  const Build& newest = *taken;
  run.build_dir = newest.build_dir;
  run.elf_name = newest.elf_name;
  // Shown on the console: the build is not where the user said.
  named_by = std::min(newest.place, paths);
  run.found_build = newest.place < paths ? Text() : newest.build_dir + newest.elf_name;
  run.build_deleted_on_close =
      newest.place >= paths && kBuildPlaces[newest.place - paths].deleted_on_close;
  return true;
}

std::vector<Text> build_place_lines() {
  std::vector<Text> lines;
  for (const BuildPlace& ide : kBuildPlaces) {
    const Text root = place_root(ide.root);
    if (!root.empty()) lines.push_back("    " + root + ide.folder + ide.builds + "\\");
  }
  if (lines.empty()) lines.push_back("    none: LocalAppData, TMP, TEMP and UserProfile are unset");
  return lines;
}

[[noreturn]] void fail_without_build(std::vector<Text> lines) {
  const std::vector<Text> start = {"**ERROR** No build of any Arduino IDE was found.",
                                   "Press Verify in the Arduino IDE, then run Tolvane again.",
                                   "IDE 1.x deletes its build when it closes: keep the IDE open.",
                                   "Searched for builds in:"};
  lines.insert(lines.begin(), start.begin(), start.end());
  const std::vector<Text> places = build_place_lines();
  lines.insert(lines.begin() + start.size(), places.begin(), places.end());
  fail_and_wait(lines);
}

}  // namespace tolvane
