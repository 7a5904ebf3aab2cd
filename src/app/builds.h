// Finds the newest build that an IDE left in its own build folders.
#ifndef TOLVANE_APP_BUILDS_H_
#define TOLVANE_APP_BUILDS_H_

#include "app/run_record.h"

namespace tolvane {

/// Sets build_dir, elf_name and found_build from the ELF file written last
/// in the folders where the IDEs build when no build path is set; false,
/// with the run record unchanged, when there is none.
bool find_newest_build(RunRecord& run);

}  // namespace tolvane

#endif  // TOLVANE_APP_BUILDS_H_
