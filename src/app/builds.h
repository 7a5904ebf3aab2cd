// Finds the build just made: the ELF file written last in the build path's
// folder and in the folders where the IDEs build on their own.
#ifndef TOLVANE_APP_BUILDS_H_
#define TOLVANE_APP_BUILDS_H_

#include "app/run_record.h"

namespace tolvane {

/// Sets build_dir and elf_name from the ELF file written last directly in
/// one of |build_path_dirs| (the build paths' folders, each ending with "\")
/// or in the IDEs' own build folders; on equal times the one found first,
/// then the first in name order. Sets |named_by| to the index of its build
/// path's folder, or to the folders' count when it is in none of them; then
/// found_build too, and build_deleted_on_close when its IDE deletes its
/// folder on closing. False, with the run record unchanged, when there is
/// none.
bool find_newest_build(RunRecord& run, const std::vector<Text>& build_path_dirs, size_t& named_by);

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
