// The program's one pass: the help text, or the four stages of the job.
#ifndef TOLVANE_APP_DRIVER_H_
#define TOLVANE_APP_DRIVER_H_

#include <vector>

#include "app/run_record.h"

namespace tolvane {

/// The help text, its lines each ended by CR LF.
Text help_text();

/// The arguments after the program name joined by single spaces.
Text command_line_text(const std::vector<Text>& arguments);

/// Prints the help text for any argument text, waiting for a key in a console
/// of its own; otherwise does the job. Ends the process.
[[noreturn]] void run(const std::vector<Text>& arguments);

}  // namespace tolvane

#endif  // TOLVANE_APP_DRIVER_H_
