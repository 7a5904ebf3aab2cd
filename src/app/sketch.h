// Finds the ELF file, the sketch's name and the directory for the output.
#ifndef TOLVANE_APP_SKETCH_H_
#define TOLVANE_APP_SKETCH_H_

#include "app/run_record.h"

namespace tolvane {

/// Sets recorded, sketch_name, project_dir, output_dirs and output_dir, and
/// unsaved_copy when the sketch is IDE 2's unsaved copy.
void resolve_sketch(RunRecord& run);

/// The sketch name cut from an ELF file name before ".cpp.elf", or else
/// before a final ".ino.elf" or ".pde.elf"; empty when the name has none.
Text sketch_name_of(const Text& elf_name);

/// The sketch folder that a build's recorded sketch location (UTF-8) names,
/// in the ANSI code page and ending with a separator; empty when there is
/// none. False when a character of it has no place in the code page, the
/// folder then holding "?" for it.
bool sketch_folder_of(const Text& sketch_location, Text& folder);

}  // namespace tolvane

#endif  // TOLVANE_APP_SKETCH_H_
