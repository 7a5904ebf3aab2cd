// Finds the build just made: the ELF file written last in the build path's
// folder and in the folders where the IDEs build on their own.
#ifndef TOLVANE_APP_BUILDS_H_
#define TOLVANE_APP_BUILDS_H_

#include "app/run_record.h"

namespace tolvane {

/// Sets build_dir and elf_name from the ELF file written last directly in
/// |build_path_dir| (the build path's folder, ending with "\"; empty when none
/// is set) and in the IDEs' own build folders; on equal times the first in
/// name order. Sets found_build too when that file is not in |build_path_dir|,
/// and build_deleted_on_close when its IDE deletes its folder on closing.
/// False, with the run record unchanged, when there is none.
bool find_newest_build(RunRecord& run, const Text& build_path_dir);

/// The IDEs' own build folders, one indented line each, as searched now;
/// a line that says so when none can be.
std::vector<Text> build_place_lines();

/// Fails with the block that no build was found: its first lines, the
/// build folders searched, then |lines|.
[[noreturn]] void fail_without_build(std::vector<Text> lines);

/// True when name |a| comes before |b| as Windows lists the names of a
/// folder: letters compared as capitals, other bytes by value.
bool listed_before(const Text& a, const Text& b);

}  // namespace tolvane

#endif  // TOLVANE_APP_BUILDS_H_
