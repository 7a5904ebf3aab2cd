// Shared by the Windows console and files layers: the console is taken at its
// first use, and the key wait's single poll is reachable on its own.
#ifndef TOLVANE_PLATFORM_WINDOWS_CONSOLE_USE_H_
#define TOLVANE_PLATFORM_WINDOWS_CONSOLE_USE_H_

#include <windows.h>

namespace platform {

/// At the first call: takes the standard handles and, when standard input is
/// a console, adds processed input to its mode. Later calls do nothing.
void begin_console_use();

/// One poll of the key wait over a console input buffer: registers the
/// control handler at the first poll, reads and consumes every pending event,
/// applies the key rule to key events, then reads and clears the
/// key-registered flag. Gives whether a key was registered.
bool poll_for_key(HANDLE input);

/// The console control handler that the first poll registers.
BOOL WINAPI on_console_event(DWORD event);

}  // namespace platform

#endif  // TOLVANE_PLATFORM_WINDOWS_CONSOLE_USE_H_
