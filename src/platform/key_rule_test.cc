// The key rule over sequences of console key events.
#include "platform/key_rule.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

using namespace key_state;
namespace vk = virtual_key;

KeyEvent down(std::uint16_t key, std::uint16_t scan, unsigned char character,
              std::uint32_t state = 0, std::uint16_t repeat = 1) {
  return {true, repeat, key, scan, character, state};
}
KeyEvent up(std::uint16_t key, std::uint32_t state = 0) { return {false, 1, key, 0, 0, state}; }
const KeyEvent kAlt = down(vk::kMenu, 0x38, 0, kLeftAlt);
KeyEvent pad(int digit, std::uint32_t state = kLeftAlt | kNumLock) {
  return down(static_cast<std::uint16_t>(vk::kNumpad0 + digit), 0, 0, state);
}

TEST(KeyRule, RegistersWhatEachSequenceTypes) {
  const struct {
    const char* what;
    std::vector<KeyEvent> events;
    std::vector<int> registered;  // the character of each event that registers; -1: none
  } kCases[] = {
      // clang-format off
      {"a letter", {down('A', 0x1E, 'a'), up('A')}, {'a'}},
      {"a letter with Alt or Ctrl", {down('A', 0x1E, 'a', kRightAlt), down('A', 0x1E, 1, kLeftCtrl)}, {'a', 1}},
      {"repeat count 0 and a release", {down('A', 0x1E, 'a', 0, 0), up('A')}, {}},
      {"F1 and F12", {down(vk::kF1, 0x3B, 0), down(vk::kF12, 0x58, 0, kShift)}, {-1, -1}},
      {"modifier and lock keys", {down(vk::kShift, 0x2A, 0, kShift), down(vk::kControl, 0x1D, 0, kLeftCtrl), kAlt,
       down(vk::kCapital, 0x3A, 0, kCapsLock), down(vk::kNumLock, 0x45, 0, kEnhancedKey), down(0x2C, 0x37, 0)}, {}},
      {"the editing block", {down(vk::kPrior, 0x49, 0, kEnhancedKey), down(vk::kDown, 0x50, 0, kEnhancedKey | kShift),
       down(vk::kInsert, 0x52, 0, kEnhancedKey), down(vk::kDelete, 0x53, 0, kEnhancedKey)}, {-1, -1, -1, -1}},
      {"keypad arrows, Num Lock off, alone or with Ctrl", {down(vk::kLeft, 0x4B, 0), down(vk::kHome, 0x47, 0, kLeftCtrl)}, {-1, -1}},
      {"keypad arrows with Num Lock, Shift or Alt", {down(vk::kLeft, 0x4B, 0, kNumLock), down(vk::kUp, 0x48, 0, kShift),
       down(vk::kEnd, 0x4F, 0, kLeftAlt | kLeftCtrl)}, {}},
      {"Alt with keypad 6 and 5", {kAlt, pad(6), up(vk::kNumpad0 + 6, kLeftAlt), pad(5), up(vk::kMenu, kNumLock)}, {65}},
      {"Alt with keypad 6 and 0", {kAlt, pad(6), pad(0), up(vk::kMenu, kNumLock)}, {60}},
      {"Alt with keypad 6 and 5, then Alt alone", {kAlt, pad(6), pad(5), up(vk::kMenu), kAlt, up(vk::kMenu)}, {65}},
      {"Alt with keypad 3, 2, 1: the low byte", {kAlt, pad(3), pad(2), pad(1), up(vk::kMenu)}, {65}},
      {"Alt with keypad 9 without Num Lock", {kAlt, down(vk::kPrior, 0x49, 0, kLeftAlt), up(vk::kMenu)}, {9}},
      {"Alt with the editing block", {kAlt, down(vk::kPrior, 0x49, 0, kLeftAlt | kEnhancedKey), up(vk::kMenu)}, {-1}},
      {"Alt, keypad 7, then a letter", {kAlt, pad(7), down('B', 0x30, 'b'), up(vk::kMenu)}, {'b'}},
      {"Alt and Ctrl with keypad 7", {pad(7, kLeftAlt | kLeftCtrl), up(vk::kMenu)}, {}},
      {"Alt with keypad 0", {kAlt, pad(0), up(vk::kMenu)}, {}},
      {"Alt with 4294967361: wraps to 65", {kAlt, pad(4), pad(2), pad(9), pad(4), pad(9), pad(6), pad(7), pad(3),
       pad(6), pad(1), up(vk::kMenu)}, {65}},
      // clang-format on
  };
  for (const auto& c : kCases) {
    std::int32_t keypad_value = 0;
    std::vector<int> registered;
    for (const KeyEvent& event : c.events) {
      const KeyOutcome outcome = apply_key_rule(event, keypad_value);
      if (outcome.registered) registered.push_back(outcome.character);
    }
    EXPECT_EQ(c.registered, registered) << c.what;
  }
}

}  // namespace
}  // namespace platform
