// Finds the ELF file, the sketch's name and the directory for the output.
#ifndef TOLVANE_APP_SKETCH_H_
#define TOLVANE_APP_SKETCH_H_

#include "app/run_record.h"

namespace tolvane {

/// Sets elf_name, sketch_name, project_dir and output_dir, or ends the run
/// when the build directory holds no ELF file.
void resolve_sketch(RunRecord& run);

/// The sketch name cut from an ELF file name before ".cpp.elf"; empty when
/// the name lacks it.
Text sketch_name_of(const Text& elf_name);

}  // namespace tolvane

#endif  // TOLVANE_APP_SKETCH_H_
