// Which console key events count as a key press during the key wait. The rule
// is pure and the same on every platform; the Windows key wait feeds it the
// events that it reads from the console input buffer.
#ifndef TOLVANE_PLATFORM_KEY_RULE_H_
#define TOLVANE_PLATFORM_KEY_RULE_H_

#include <cstdint>

namespace platform {

/// Bits of a key event's control key state, as the Windows console reports
/// them.
namespace key_state {
constexpr std::uint32_t kRightAlt = 0x0001;
constexpr std::uint32_t kLeftAlt = 0x0002;
constexpr std::uint32_t kRightCtrl = 0x0004;
constexpr std::uint32_t kLeftCtrl = 0x0008;
constexpr std::uint32_t kShift = 0x0010;
constexpr std::uint32_t kNumLock = 0x0020;
constexpr std::uint32_t kScrollLock = 0x0040;
constexpr std::uint32_t kCapsLock = 0x0080;
constexpr std::uint32_t kEnhancedKey = 0x0100;
}  // namespace key_state

/// Windows virtual-key codes that the rule looks at.
namespace virtual_key {
constexpr std::uint16_t kShift = 0x10;
constexpr std::uint16_t kControl = 0x11;
constexpr std::uint16_t kMenu = 0x12;  // Alt
constexpr std::uint16_t kCapital = 0x14;
constexpr std::uint16_t kPrior = 0x21;  // Page Up
constexpr std::uint16_t kNext = 0x22;   // Page Down
constexpr std::uint16_t kEnd = 0x23;
constexpr std::uint16_t kHome = 0x24;
constexpr std::uint16_t kLeft = 0x25;
constexpr std::uint16_t kUp = 0x26;
constexpr std::uint16_t kRight = 0x27;
constexpr std::uint16_t kDown = 0x28;
constexpr std::uint16_t kInsert = 0x2D;
constexpr std::uint16_t kDelete = 0x2E;
constexpr std::uint16_t kNumpad0 = 0x60;
constexpr std::uint16_t kNumpad9 = 0x69;
constexpr std::uint16_t kF1 = 0x70;
constexpr std::uint16_t kF12 = 0x7B;
constexpr std::uint16_t kNumLock = 0x90;
constexpr std::uint16_t kScroll = 0x91;
}  // namespace virtual_key

/// One keyboard event of the console input buffer.
struct KeyEvent {
  bool key_down = false;
  std::uint16_t repeat_count = 0;
  std::uint16_t virtual_key = 0;
  std::uint16_t scan_code = 0;
  /// The character byte that the key produces; 0 when it produces none.
  unsigned char character = 0;
  /// key_state bits.
  std::uint32_t control_state = 0;
};

/// What one event did.
struct KeyOutcome {
  bool registered = false;
  /// The character registered, 0 to 255; -1 for a key without a character
  /// (such as F5 or an arrow) or when nothing registered.
  int character = -1;
};

/// Applies the rule to |event|. |keypad_value| is the decimal value being
/// composed with Alt and the numeric keypad; it starts at 0 and is carried
/// from one event to the next.
KeyOutcome apply_key_rule(const KeyEvent& event, std::int32_t& keypad_value);

}  // namespace platform

#endif  // TOLVANE_PLATFORM_KEY_RULE_H_
