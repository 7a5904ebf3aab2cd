// Finds the IDE's preferences file and takes the build and sketchbook paths.
#ifndef TOLVANE_APP_PREFERENCES_H_
#define TOLVANE_APP_PREFERENCES_H_

#include "app/run_record.h"

namespace tolvane {

/// Sets home_prefix, prefs_path, data_dir, build_line, sketchbook_line and
/// build_dir, from the first IDE's preferences found; without a build path
/// there, takes the newest build that an IDE left (see builds.h), or ends
/// the run with a failure block.
void read_preferences(RunRecord& run);

/// |text| in the ANSI code page: well-formed UTF-8 outside ASCII converted,
/// any other bytes as they are; false when a character has no place there.
bool to_ansi(const Text& text, Text& ansi);

/// The text after the first "=" of a preferences line (the whole line when it
/// has none), trimmed.
Text preference_value(const Text& line);

}  // namespace tolvane

#endif  // TOLVANE_APP_PREFERENCES_H_
