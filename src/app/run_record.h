// The text values that pass from stage to stage during one run.
#ifndef TOLVANE_APP_RUN_RECORD_H_
#define TOLVANE_APP_RUN_RECORD_H_

#include <vector>

#include "app/build_options.h"
#include "platform/platform.h"

namespace tolvane {

using platform::Text;

/// Every value starts empty (false); each is set by one stage and read by later ones.
struct RunRecord {
  Text help_text;
  Text home_prefix;                     // HomeDrive + HomePath + "\"
  Text prefs_path;                      // the IDE's preferences file
  Text data_dir;                        // the folder of the preferences found, ends with "\"
  Text build_line;                      // last "build.path" line, trimmed and lower-cased
  Text sketchbook_line;                 // last "sketchbook.path" line, likewise; a portable
                                        // IDE's relative value joined to data_dir
  Text build_dir;                       // ends with "\"
  BuildOptions recorded;                // what the build's build.options.json records
  Text found_build;                     // the ELF file taken, when not in the build path's folder
  bool build_deleted_on_close = false;  // its folder goes when the IDE closes
  Text elf_name;
  Text sketch_name;
  Text project_dir;               // the project-directory candidate being probed
  std::vector<Text> output_dirs;  // may receive the script, in order
  Text output_dir;                // receives the script and the listings; empty: current
  Text unsaved_copy;              // the sketch's folder, when it is IDE 2's unsaved copy
  Text objdump_path;
  Text readelf_path;
  std::vector<Text> notes;  // said on the console before the listings are named
  Text script_path;
  Text kept_script;  // a script that cannot be written anew and runs as it is
};

}  // namespace tolvane

#endif  // TOLVANE_APP_RUN_RECORD_H_
