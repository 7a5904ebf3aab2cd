// The IDE's hook: the line that makes the IDE run Tolvane after every Verify,
// and the file of the core's platform where it goes.
#ifndef TOLVANE_APP_HOOK_H_
#define TOLVANE_APP_HOOK_H_

#include "app/run_record.h"

namespace tolvane {

/// The line for platform.local.txt that runs the program at |path| after
/// every build, beside the core's own hooks.
Text hook_line(const Text& path);

/// The folder, ending with "\", of the platform of the build's board (the
/// one that holds its platform.txt and boards.txt): IDE 2's include options
/// when they name it, else the last recorded hardware folder that holds it.
/// Empty when the records do not tell it.
Text platform_folder(const RunRecord& run);

/// For a build whose records name its board: prints the platform's
/// platform.local.txt and the hook line for this program, unless that file
/// runs it already; or, when that file cannot be told or written, what to
/// do instead. Writes nothing.
void suggest_hook(const RunRecord& run);

}  // namespace tolvane

#endif  // TOLVANE_APP_HOOK_H_
