// Finds avr-objdump.exe where the IDE installs it, or its Boards Manager.
#ifndef TOLVANE_APP_TOOLCHAIN_H_
#define TOLVANE_APP_TOOLCHAIN_H_

#include <vector>

#include "app/run_record.h"

namespace tolvane {

/// Sets objdump_path (the first install location present, or else the Boards
/// Manager's newest) and readelf_path beside it, or ends the run when no
/// location holds the tool.
void locate_toolchain(RunRecord& run);

/// True when version |a| comes before |b|: runs of digits compare as
/// numbers, other bytes as they are.
bool version_below(const Text& a, const Text& b);

/// The four searched directories, each indented as the messages show them.
std::vector<Text> tool_directory_lines();

}  // namespace tolvane

#endif  // TOLVANE_APP_TOOLCHAIN_H_
