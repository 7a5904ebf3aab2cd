// Finds avr-objdump.exe at its fixed install locations.
#ifndef TOLVANE_APP_TOOLCHAIN_H_
#define TOLVANE_APP_TOOLCHAIN_H_

#include <vector>

#include "app/run_record.h"

namespace tolvane {

/// Sets objdump_path (the last location present) and readelf_path beside it,
/// or ends the run when no location holds the tool.
void locate_toolchain(RunRecord& run);

/// The four searched directories, each indented as the messages show them.
std::vector<Text> tool_directory_lines();

}  // namespace tolvane

#endif  // TOLVANE_APP_TOOLCHAIN_H_
