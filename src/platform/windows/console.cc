// Console output, the key wait and process exit on Windows.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/exit_steps.h"
#include "platform/key_rule.h"
#include "platform/platform.h"
#include "platform/windows/console_use.h"

// Lets the runtime expand wildcards in the command-line arguments, as a
// command prompt user expects of a console program. It sits beside end_run,
// which every program over this layer links, so that it is always taken in.
extern "C" {
int _dowildcard = -1;
}

// An uncaught exception ends the program without the runtime's verbose
// handler, whose name demangler alone would be a quarter of Tolvane.exe. It
// sits here for the same reason as _dowildcard: it must be linked before the
// runtime looks for it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace platform {

namespace {

HANDLE standard_input = INVALID_HANDLE_VALUE;
HANDLE standard_output = INVALID_HANDLE_VALUE;
bool console_taken = false;

// Set by the key rule and by the control handler's thread; read and cleared
// by each poll.
volatile LONG key_registered = 0;
bool handler_installed = false;
std::int32_t keypad_value = 0;

// The most asked of one write: consoles are given modest pieces.
constexpr size_t kConsolePiece = 8192;
constexpr size_t kFilePiece = 0x40000000;

bool is_console_input(HANDLE handle) {
  DWORD mode = 0;
  DWORD pending = 0;
  return GetConsoleMode(handle, &mode) && GetNumberOfConsoleInputEvents(handle, &pending);
}

// On a console, the characters that the bytes mean in the ANSI code page;
// elsewhere the bytes as they are.
void write_out(const char* bytes, size_t size) {
  DWORD mode = 0;
  if (GetConsoleMode(standard_output, &mode)) {
    // Sized by a first call: in the ANSI code page a byte gives at most one
    // character, but no buffer is taken on trust.
    const int count = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
    std::wstring wide(count > 0 ? static_cast<size_t>(count) : 0, L'\0');
    if (count > 0) {
      MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), &wide[0], count);
    }
    for (size_t at = 0; at < wide.size();) {
      const DWORD asked = static_cast<DWORD>(std::min(wide.size() - at, kConsolePiece));
      DWORD written = 0;
      if (!WriteConsoleW(standard_output, wide.data() + at, asked, &written, nullptr) ||
          written == 0) {
        return;
      }
      at += written;
    }
    return;
  }
  while (size > 0) {
    const DWORD asked = static_cast<DWORD>(size < kFilePiece ? size : kFilePiece);
    DWORD written = 0;
    if (!WriteFile(standard_output, bytes, asked, &written, nullptr) || written == 0) return;
    bytes += written;
    size -= written;
  }
}

KeyEvent key_event_of(const KEY_EVENT_RECORD& record) {
  KeyEvent event;
  event.key_down = record.bKeyDown != FALSE;
  event.repeat_count = record.wRepeatCount;
  event.virtual_key = record.wVirtualKeyCode;
  event.scan_code = record.wVirtualScanCode;
  event.control_state = record.dwControlKeyState;
  event.character = static_cast<unsigned char>(record.uChar.AsciiChar);
  if (event.character == 0) {
    // A key that maps to a character counts as one even when a modifier
    // (Ctrl with a digit, say) leaves the event without it.
    const UINT mapped = MapVirtualKeyA(record.wVirtualKeyCode, MAPVK_VK_TO_CHAR);
    event.character = static_cast<unsigned char>(mapped & 0xFF);
  }
  return event;
}

}  // namespace

void begin_console_use() {
  if (console_taken) return;
  console_taken = true;
  standard_input = GetStdHandle(STD_INPUT_HANDLE);
  standard_output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (is_console_input(standard_input) && GetConsoleMode(standard_input, &mode)) {
    SetConsoleMode(standard_input, mode | ENABLE_PROCESSED_INPUT);
  }
}

BOOL WINAPI on_console_event(DWORD event) {
  switch (event) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      InterlockedExchange(&key_registered, 1);
      return TRUE;
    default:
      return FALSE;  // Ctrl+C and Ctrl+Break end the process as usual
  }
}

bool poll_for_key(HANDLE input) {
  if (!handler_installed) handler_installed = SetConsoleCtrlHandler(on_console_event, TRUE) != 0;
  INPUT_RECORD record;
  DWORD count = 0;
  while (PeekConsoleInputA(input, &record, 1, &count) && count > 0) {
    if (!ReadConsoleInputA(input, &record, 1, &count) || count == 0) break;
    if (record.EventType != KEY_EVENT) continue;
    if (apply_key_rule(key_event_of(record.Event.KeyEvent), keypad_value).registered) {
      InterlockedExchange(&key_registered, 1);
    }
  }
  return InterlockedExchange(&key_registered, 0) != 0;
}

void print_line(const Text& text) {
  begin_console_use();
  if (!text.empty()) write_out(text.data(), text.size());
  write_out("\r\n", 2);
}

void wait_for_key() {
  begin_console_use();
  // Without a console nobody can press a key: a script or a test run must
  // not hang here.
  if (!console_input()) return;
  while (!poll_for_key(standard_input)) Sleep(50);
}

bool console_input() {
  begin_console_use();
  return is_console_input(standard_input);
}

bool owns_console() {
  // The command prompt or script that started a program shares its console;
  // a console made for a double-clicked program holds it alone.
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

void end_run(int status) {
  if (handler_installed) {
    SetConsoleCtrlHandler(on_console_event, FALSE);
    handler_installed = false;
  }
  close_file_at_exit();
  std::exit(status);
}

}  // namespace platform
