// Finds the objdump and readelf of the toolchain that built the ELF file:
// where the build records it, and for AVR chips also where the IDE installs
// its tools, or its Boards Manager.
#ifndef TOLVANE_APP_TOOLCHAIN_H_
#define TOLVANE_APP_TOOLCHAIN_H_

#include <vector>

#include "app/build_options.h"
#include "app/run_record.h"

namespace tolvane {

/// Reads the ELF file's header for its machine, and sets objdump_path to the
/// objdump of a toolchain for that machine (that the build records; for AVR
/// else the first install location present, else the Boards Manager's
/// newest) and readelf_path beside it, of the same prefix. Ends the run when
/// the file is not an ELF file or no location holds the tool.
void locate_toolchain(RunRecord& run);

/// The folders, in the order they are tried, where the build's records say
/// its tools are: the folder of |compiler| (from compile_commands.json), then
/// "bin" below each runtime.tools.<name>.path and below each folder of
/// builtInToolsFolders and toolsFolders. Each in the ANSI code page with
/// backslashes, ending with one, and each once; folders that are not rooted
/// or are on a network share are left out.
std::vector<Text> recorded_tool_folders(const Text& compiler, const BuildOptions& options);

/// The folders of a comma-joined |list| from a record (UTF-8), cut only where
/// a rooted path starts; each as recorded_tool_folders gives them.
std::vector<Text> recorded_folders(const Text& list);

/// True when version |a| comes before |b|: runs of digits compare as
/// numbers, other bytes as they are.
bool version_below(const Text& a, const Text& b);

}  // namespace tolvane

#endif  // TOLVANE_APP_TOOLCHAIN_H_
