// Finds the IDE's preferences file and takes the build and sketchbook paths.
#ifndef TOLVANE_APP_PREFERENCES_H_
#define TOLVANE_APP_PREFERENCES_H_

#include "app/run_record.h"

namespace tolvane {

/// Sets home_prefix, prefs_path, build_line, sketchbook_line and build_dir,
/// or ends the run with a failure block.
void read_preferences(RunRecord& run);

/// The text after the first "=" of a preferences line (the whole line when it
/// has none), trimmed.
Text preference_value(const Text& line);

}  // namespace tolvane

#endif  // TOLVANE_APP_PREFERENCES_H_
