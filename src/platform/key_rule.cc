// The key rule of the key wait.
#include "key_rule.h"

namespace platform {

namespace {

constexpr std::uint32_t kAnyAlt = key_state::kLeftAlt | key_state::kRightAlt;
constexpr std::uint32_t kAnyCtrl = key_state::kLeftCtrl | key_state::kRightCtrl;

// An Alt key is held, and neither Ctrl nor Shift.
bool alt_alone(std::uint32_t state) {
  return (state & kAnyAlt) != 0 && (state & (kAnyCtrl | key_state::kShift)) == 0;
}

// The digit of a numeric keypad key, or -1 for any other key. With Num Lock
// off the keypad digits arrive as cursor keys, told apart from the separate
// block by their scan code and the missing enhanced-key bit.
int keypad_digit(const KeyEvent& event) {
  if (event.virtual_key >= virtual_key::kNumpad0 && event.virtual_key <= virtual_key::kNumpad9) {
    return event.virtual_key - virtual_key::kNumpad0;
  }
  if (event.control_state & key_state::kEnhancedKey) return -1;
  switch (event.scan_code) {
    case 0x52:
      return 0;
    case 0x4F:
      return 1;
    case 0x50:
      return 2;
    case 0x51:
      return 3;
    case 0x4B:
      return 4;
    case 0x4C:
      return 5;
    case 0x4D:
      return 6;
    case 0x47:
      return 7;
    case 0x48:
      return 8;
    case 0x49:
      return 9;
    default:
      return -1;
  }
}

bool is_function_key(std::uint16_t key) {
  return key >= virtual_key::kF1 && key <= virtual_key::kF12;
}

// Home, End, Page Up, Page Down, the arrows, Insert and Delete.
bool is_editing_key(std::uint16_t key) {
  return (key >= virtual_key::kPrior && key <= virtual_key::kDown) || key == virtual_key::kInsert ||
         key == virtual_key::kDelete;
}

// What the event registers by itself, apart from the Alt and keypad entry.
KeyOutcome own_outcome(const KeyEvent& event) {
  KeyOutcome outcome;
  if (!event.key_down || event.repeat_count == 0) return outcome;
  const std::uint32_t state = event.control_state;
  if (event.character != 0) {
    outcome.registered = true;
    outcome.character = event.character;
  } else if (is_function_key(event.virtual_key)) {
    outcome.registered = true;
  } else if (is_editing_key(event.virtual_key)) {
    if (state & key_state::kEnhancedKey) {
      outcome.registered = true;
    } else {
      // The same keys on the numeric keypad: Num Lock off, alone or with Ctrl.
      outcome.registered = (state & (key_state::kNumLock | kAnyAlt | key_state::kShift)) == 0;
    }
  }
  return outcome;
}

}  // namespace

KeyOutcome apply_key_rule(const KeyEvent& event, std::int32_t& keypad_value) {
  if (event.key_down && event.repeat_count == 0) return KeyOutcome();  // dropped

  if (event.key_down && alt_alone(event.control_state)) {
    const int digit = keypad_digit(event);
    if (digit >= 0) {
      // Wraps like the 32-bit value that it is, without overflowing.
      const std::uint32_t value =
          static_cast<std::uint32_t>(keypad_value) * 10u + static_cast<std::uint32_t>(digit);
      keypad_value = static_cast<std::int32_t>(value);
      return KeyOutcome();
    }
  }

  KeyOutcome outcome = own_outcome(event);
  if (outcome.registered) {
    keypad_value = 0;
    return outcome;
  }
  if (!alt_alone(event.control_state) && keypad_value != 0) {
    outcome.registered = true;
    outcome.character = static_cast<int>(static_cast<std::uint32_t>(keypad_value) & 0xFFu);
    keypad_value = 0;
  }
  return outcome;
}

}  // namespace platform
