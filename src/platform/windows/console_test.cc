// The Windows console layer: key polls over a real console input buffer, and
// the programs over the layer run as processes, watched from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/windows/console_use.h"
#include "platform/windows/test_support.h"

namespace platform {
namespace {

using wintest::ChildRun;
using wintest::file_bytes;
using wintest::probe_path;
using wintest::run_child;
using wintest::write_bytes;

// --- Console input records --------------------------------------------------

INPUT_RECORD key(bool down, WORD virtual_key, WORD scan_code, char character, DWORD state = 0,
                 WORD repeat = 1) {
  INPUT_RECORD record = {};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = down;
  record.Event.KeyEvent.wRepeatCount = repeat;
  record.Event.KeyEvent.wVirtualKeyCode = virtual_key;
  record.Event.KeyEvent.wVirtualScanCode = scan_code;
  record.Event.KeyEvent.uChar.AsciiChar = character;
  record.Event.KeyEvent.dwControlKeyState = state;
  return record;
}

// A key pressed and released.
std::vector<INPUT_RECORD> stroke(WORD virtual_key, WORD scan_code, char character,
                                 DWORD state = 0) {
  return {key(true, virtual_key, scan_code, character, state),
          key(false, virtual_key, scan_code, character, state)};
}

std::vector<INPUT_RECORD> operator+(std::vector<INPUT_RECORD> first,
                                    const std::vector<INPUT_RECORD>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// Alt held while keypad 6 and 5 are typed, then released: character 65.
std::vector<INPUT_RECORD> alt_keypad_65() {
  const DWORD alt = LEFT_ALT_PRESSED | NUMLOCK_ON;
  return {key(true, VK_MENU, 0x38, 0, alt),     key(true, VK_NUMPAD6, 0x4D, 0, alt),
          key(false, VK_NUMPAD6, 0x4D, 0, alt), key(true, VK_NUMPAD5, 0x4C, 0, alt),
          key(false, VK_NUMPAD5, 0x4C, 0, alt), key(false, VK_MENU, 0x38, 'A', NUMLOCK_ON)};
}

// Events that are no key press: modifier and lock keys alone, the mouse, the
// focus, the menu and a resized buffer.
std::vector<INPUT_RECORD> no_key_presses() {
  std::vector<INPUT_RECORD> events =
      stroke(VK_SHIFT, 0x2A, 0, SHIFT_PRESSED) + stroke(VK_CONTROL, 0x1D, 0, LEFT_CTRL_PRESSED) +
      stroke(VK_MENU, 0x38, 0, LEFT_ALT_PRESSED) + stroke(VK_CAPITAL, 0x3A, 0, CAPSLOCK_ON) +
      stroke(VK_NUMLOCK, 0x45, 0, NUMLOCK_ON | ENHANCED_KEY) +
      stroke(VK_SCROLL, 0x46, 0, SCROLLLOCK_ON);
  for (WORD type : {MOUSE_EVENT, FOCUS_EVENT, MENU_EVENT, WINDOW_BUFFER_SIZE_EVENT}) {
    INPUT_RECORD record = {};
    record.EventType = type;
    if (type == MOUSE_EVENT) record.Event.MouseEvent.dwButtonState = FROM_LEFT_1ST_BUTTON_PRESSED;
    if (type == FOCUS_EVENT) record.Event.FocusEvent.bSetFocus = TRUE;
    if (type == WINDOW_BUFFER_SIZE_EVENT) record.Event.WindowBufferSizeEvent.dwSize = {100, 40};
    events.push_back(record);
  }
  return events;
}

// The console input buffer of this process; it makes a console when the
// process has none with input, as when the tests run with their output in a
// pipe.
HANDLE console_input() {
  static HANDLE input = INVALID_HANDLE_VALUE;
  if (input != INVALID_HANDLE_VALUE) return input;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  auto open = [&] {
    return CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, OPEN_EXISTING, 0, nullptr);
  };
  input = open();
  if (input == INVALID_HANDLE_VALUE) {
    // Wine may attach a program started without a terminal to a console
    // that has no input buffer; it gives way to one of this process's own.
    FreeConsole();
    if (AllocConsole()) input = open();
  }
  return input;
}

class WindowsConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    input_ = console_input();
    ASSERT_NE(INVALID_HANDLE_VALUE, input_) << "no console could be made";
    // Without a display Wine keeps a console's window in its null graphics
    // driver, which tests/make-wine-prefix selects.
    INPUT_RECORD probe = key(false, 'Q', 0x10, 0);
    DWORD written = 0;
    ASSERT_TRUE(WriteConsoleInputA(input_, &probe, 1, &written))
        << "the console takes no input events (error " << GetLastError()
        << "); under Wine the prefix needs HKCU\\Software\\Wine\\Drivers Graphics=null";
    // Start from an empty buffer, no keypad entry and a clear flag.
    FlushConsoleInputBuffer(input_);
    INPUT_RECORD alt_up = key(false, VK_MENU, 0x38, 0);
    WriteConsoleInputA(input_, &alt_up, 1, &written);
    poll_for_key(input_);
    ASSERT_EQ(0u, pending());
  }

  void write_events(const std::vector<INPUT_RECORD>& events) {
    DWORD written = 0;
    ASSERT_TRUE(
        WriteConsoleInputA(input_, events.data(), static_cast<DWORD>(events.size()), &written));
    ASSERT_EQ(events.size(), written);
  }

  // Writes the events into the console and polls once.
  bool poll_after(const std::vector<INPUT_RECORD>& events) {
    write_events(events);
    return poll_for_key(input_);
  }

  DWORD pending() {
    DWORD count = 0;
    EXPECT_TRUE(GetNumberOfConsoleInputEvents(input_, &count));
    return count;
  }

  HANDLE input_ = INVALID_HANDLE_VALUE;
};

// --- One poll over the console input buffer -----------------------------------

using WindowsKeyPollTest = WindowsConsoleTest;

TEST_F(WindowsKeyPollTest, KeysRegisterAndEachPollReadsEveryPendingEvent) {
  EXPECT_FALSE(poll_for_key(input_));  // an empty buffer
  // Which keys register is key_rule_test.cc's concern; these show that the
  // console records reach the rule, a character mapped from the key when the
  // record has none (Ctrl+1).
  for (const std::vector<INPUT_RECORD>& keys :
       {stroke('A', 0x1E, 'a'), stroke(VK_ESCAPE, 0x01, 0x1B, SHIFT_PRESSED),
        stroke('1', 0x02, 0, LEFT_CTRL_PRESSED), stroke(VK_F5, 0x3F, 0),
        stroke('A', 0x1E, 'a') + no_key_presses() + stroke('B', 0x30, 'b')}) {
    EXPECT_TRUE(poll_after(keys));
    EXPECT_EQ(0u, pending());
    EXPECT_FALSE(poll_for_key(input_));  // the flag was cleared
  }
}

TEST_F(WindowsKeyPollTest, OtherEventsRegisterNothingAndAreConsumed) {
  EXPECT_FALSE(poll_after(no_key_presses()));
  EXPECT_EQ(0u, pending());
  // Releases alone and key-downs with a repeat count of 0 are no presses.
  EXPECT_FALSE(poll_after({key(false, 'A', 0x1E, 'a'), key(true, 'B', 0x30, 'b', 0, 0)}));
  EXPECT_EQ(0u, pending());
  // Alt and keypad digits register on the release of Alt only.
  std::vector<INPUT_RECORD> events = alt_keypad_65();
  const INPUT_RECORD alt_release = events.back();
  events.pop_back();
  EXPECT_FALSE(poll_after(events));
  EXPECT_EQ(0u, pending());
  EXPECT_TRUE(poll_after({alt_release}));
}

TEST_F(WindowsKeyPollTest, CloseLogoffAndShutdownRegisterAKeyButNotCtrlCOrBreak) {
  for (DWORD event : {CTRL_CLOSE_EVENT, CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT}) {
    SCOPED_TRACE(event);
    EXPECT_TRUE(on_console_event(event));
    EXPECT_TRUE(poll_for_key(input_));
    EXPECT_FALSE(poll_for_key(input_));
  }
  // Left to the system.
  EXPECT_FALSE(on_console_event(CTRL_C_EVENT));
  EXPECT_FALSE(on_console_event(CTRL_BREAK_EVENT));
  EXPECT_FALSE(poll_for_key(input_));
}

// --- The layer in whole programs ----------------------------------------------

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// Runs a probe program in a scratch folder and waits for it to end.
ChildRun run_probe(const wintest::ScratchFolder& folder, const std::string& probe,
                   const std::string& arguments, HANDLE input = nullptr) {
  const std::string program = probe_path(probe);
  EXPECT_FALSE(folder.path().empty()) << "cannot make a scratch folder";
  EXPECT_TRUE(wintest::exists(program)) << "probe not built: " << program;
  ChildRun run = run_child(quoted(program) + " " + arguments, folder.path(), input);
  EXPECT_TRUE(run.started) << program;
  EXPECT_TRUE(run.ended) << program << " " << arguments << " did not end";
  return run;
}

TEST(WindowsProgramTest, WildcardArgumentsAreExpandedAndAnOpenFileIsStoredAtTheEnd) {
  wintest::ScratchFolder folder;
  for (const char* name : {"one.txt", "two.txt", "three.dat"}) {
    ASSERT_TRUE(write_bytes(folder / name, "1"));
  }
  ChildRun run = run_probe(folder, "console_probe", "print *.txt plain none*.xyz");
  EXPECT_EQ(0u, run.status);
  const std::string& out = run.out;
  EXPECT_NE(std::string::npos, out.find("one.txt\r\n")) << out;
  EXPECT_NE(std::string::npos, out.find("two.txt\r\n")) << out;
  EXPECT_EQ(std::string::npos, out.find("*.txt")) << out;
  EXPECT_EQ(std::string::npos, out.find("three.dat")) << out;
  // Words without wildcards, and patterns that match nothing, stay as given.
  EXPECT_NE(std::string::npos, out.find("plain\r\nnone*.xyz\r\n")) << out;

  run = run_probe(folder, "unclosed_file", quoted(folder / "script_dump.cmd"));
  EXPECT_EQ(3u, run.status);
  EXPECT_EQ("kept\r\n", file_bytes(folder / "script_dump.cmd"));
}

TEST(WindowsProgramTest, PrintLineAndFailAndWaitWithoutAConsoleGiveExactBytesAndStatus) {
  wintest::ScratchFolder folder;
  // Standard input a pipe that stays open: still no console to wait on.
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, &inherit, 0));
  const std::string long_line(30000, 'L');
  const struct {
    std::string arguments;
    HANDLE input;
    DWORD status;
    std::string out;
  } kRuns[] = {
      {"print first \"\" \"with spaces\"", nullptr, 0, "first\r\n\r\nwith spaces\r\n"},
      {"print " + long_line, nullptr, 0, long_line + "\r\n"},
      {"fail \"**ERROR** Something:\" C:\\where\\file.txt", nullptr, 0xFFFFFFFFu,
       "**ERROR** Something:\r\nC:\\where\\file.txt\r\n"},
      {"fail only", read_end, 0xFFFFFFFFu, "only\r\n"},
  };
  for (const auto& expected : kRuns) {
    ChildRun run = run_probe(folder, "console_probe", expected.arguments, expected.input);
    EXPECT_EQ(expected.status, run.status);
    EXPECT_TRUE(expected.out == run.out) << run.out.size() << " bytes: " << run.out.substr(0, 80);
  }
  CloseHandle(read_end);
  CloseHandle(write_end);
}

// The programs below share this process's console, as a program started
// from a command prompt does. Every event is read, and processed input is
// switched on for good.
TEST_F(WindowsConsoleTest, AKeyPressedBeforeTheWaitEndsItAndNothingIsLeft) {
  wintest::ScratchFolder folder;
  for (const bool composed : {false, true}) {
    SCOPED_TRACE(composed);
    DWORD mode = 0;
    ASSERT_TRUE(GetConsoleMode(input_, &mode));
    ASSERT_TRUE(SetConsoleMode(input_, mode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT)));
    write_events(no_key_presses() +
                 (composed ? alt_keypad_65() : stroke('X', 0x2D, 'x') + stroke('Y', 0x15, 'y')));
    ChildRun run = run_probe(folder, "console_probe", "fail \"**ERROR** waiting\"", input_);
    EXPECT_EQ(0xFFFFFFFFu, run.status);
    EXPECT_EQ("**ERROR** waiting\r\n", run.out);
    EXPECT_EQ(0u, pending());
    ASSERT_TRUE(GetConsoleMode(input_, &mode));
    EXPECT_TRUE(mode & ENABLE_PROCESSED_INPUT);
  }
}

}  // namespace
}  // namespace platform
