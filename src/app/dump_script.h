// Writes the dump script into the output directory and runs it.
#ifndef TOLVANE_APP_DUMP_SCRIPT_H_
#define TOLVANE_APP_DUMP_SCRIPT_H_

#include <vector>

#include "app/run_record.h"

namespace tolvane {

/// The script's 47 lines, without their line ends, for the run's tools, ELF
/// file and output paths.
std::vector<Text> script_lines(const RunRecord& run);

/// The environment variable that holds the script's path while it runs.
extern const char kScriptVariable[];

/// The command text that makes the command interpreter run the script named
/// by kScriptVariable, whatever characters its path holds.
Text script_command();

/// Sets kept_script when the folder where the script would go holds one
/// that cannot be written anew and that nobody else owns, so that it runs
/// whatever tools Tolvane would find; ends the run when that script does not
/// name the build just taken in each line that names an ELF file.
void find_kept_script(RunRecord& run);

/// Writes the script into the first of output_dirs that takes it, setting
/// output_dir and script_path, or takes the kept script; runs it and ends the
/// run with status 0. Ends it through a failure block when no folder took
/// the script, or a listing that the script it wrote is to make was not
/// written during the run.
[[noreturn]] void write_and_run_script(RunRecord& run);

}  // namespace tolvane

#endif  // TOLVANE_APP_DUMP_SCRIPT_H_
