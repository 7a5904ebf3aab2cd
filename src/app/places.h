// The folders that the tables of places start from.
#ifndef TOLVANE_APP_PLACES_H_
#define TOLVANE_APP_PLACES_H_

#include "app/run_record.h"

namespace tolvane {

/// The folder that a table names by |root|: "%Name%" is an environment
/// variable, "<home>" HomeDrive and HomePath, "<temp>" the temporary folder
/// (TMP, then TEMP, then UserProfile), "<documents>" the shell's Documents
/// folder, any other text itself. Without a final
/// "\"; empty when unset, so that the place is skipped.
Text place_root(const Text& root);

/// True, after a line on the console that names it, when another user owns
/// the file or folder at |path|: Tolvane passes it over, so that nobody else
/// can choose its preferences, build or tools. The line comes once a run for
/// each path, compared in any letter case.
bool passed_over(const Text& path);

/// The four install folders of the IDE, in the order they are searched.
extern const char* const kInstallFolders[4];

}  // namespace tolvane

#endif  // TOLVANE_APP_PLACES_H_
