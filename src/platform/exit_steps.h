// What each platform's files layer does when the process ends.
#ifndef TOLVANE_PLATFORM_EXIT_STEPS_H_
#define TOLVANE_PLATFORM_EXIT_STEPS_H_

namespace platform {

/// Closes the file that is still open, if any, so that its buffered bytes
/// reach it. Called by end_run before the process ends.
void close_file_at_exit();

}  // namespace platform

#endif  // TOLVANE_PLATFORM_EXIT_STEPS_H_
