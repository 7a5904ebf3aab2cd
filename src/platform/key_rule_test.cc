#include "platform/key_rule.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

using namespace key_state;

constexpr std::uint32_t kAltHeld = kLeftAlt;

KeyEvent press(std::uint16_t key, std::uint16_t scan, unsigned char character,
               std::uint32_t state = 0) {
  KeyEvent event;
  event.key_down = true;
  event.repeat_count = 1;
  event.virtual_key = key;
  event.scan_code = scan;
  event.character = character;
  event.control_state = state;
  return event;
}

KeyEvent release(KeyEvent event, std::uint32_t state) {
  event.key_down = false;
  event.control_state = state;
  return event;
}

KeyOutcome single(const KeyEvent& event) {
  std::int32_t value = 0;
  return apply_key_rule(event, value);
}

// Keys as a US keyboard reports them.
const KeyEvent kLetterA = press('A', 0x1E, 'a');
const KeyEvent kEnter = press(0x0D, 0x1C, '\r');
const KeyEvent kEscape = press(0x1B, 0x01, 0x1B);
const KeyEvent kF5 = press(0x74, 0x3F, 0);
const KeyEvent kShiftKey = press(virtual_key::kShift, 0x2A, 0, kShift);
const KeyEvent kCtrlKey = press(virtual_key::kControl, 0x1D, 0, kLeftCtrl);
const KeyEvent kAltKey = press(virtual_key::kMenu, 0x38, 0, kLeftAlt);
const KeyEvent kCapsKey = press(virtual_key::kCapital, 0x3A, 0, kCapsLock);
const KeyEvent kNumLockKey = press(virtual_key::kNumLock, 0x45, 0, kNumLock | kEnhancedKey);
const KeyEvent kScrollKey = press(virtual_key::kScroll, 0x46, 0, kScrollLock);

// Keypad digit with Num Lock on, as it comes while Alt is held.
KeyEvent keypad(int digit, std::uint32_t state) {
  static const std::uint16_t kScan[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  return press(static_cast<std::uint16_t>(virtual_key::kNumpad0 + digit), kScan[digit], 0, state);
}

// Characters: none registered; any, not checked.
constexpr int kNone = -2, kAny = -3;

KeyEvent with(KeyEvent event, std::uint32_t state, std::uint16_t repeat = 1) {
  event.control_state = state;
  event.repeat_count = repeat;
  return event;
}

TEST(KeyRule, OneEventRegistersWithItsCharacterOrNot) {
  constexpr int kNone = -2;                                  // registers nothing
  const KeyEvent home = press(virtual_key::kHome, 0x47, 0);  // keypad 7, Num Lock off
  const KeyEvent up = press(virtual_key::kUp, 0x48, 0, kEnhancedKey);
  const struct {
    KeyEvent event;
    int character;
  } kCases[] = {
      {kLetterA, 'a'},
      {press('A', 0x1E, 'A', kShift), 'A'},
      {press('A', 0x1E, 'A', kCapsLock), 'A'},
      {kEnter, '\r'},
      {kEscape, 0x1B},
      {press(' ', 0x39, ' '), ' '},
      {press('A', 0x1E, 0x01, kLeftCtrl), 0x01},
      {press(0x0D, 0x1C, '\n', kLeftCtrl), '\n'},
      {press('A', 0x1E, 'a', kLeftAlt), 'a'},
      {press(0xDE, 0x28, 0xE4), 0xE4},  // a high byte
      {with(kLetterA, 0, 3), 'a'},
      {kF5, -1},
      {press(virtual_key::kF1, 0x3B, 0), -1},
      {press(virtual_key::kF12, 0x58, 0), -1},
      {press(0x7C, 0x64, 0), kNone},  // F13
      // Keypad cursor keys register alone or with Ctrl when Num Lock is off.
      {home, -1},
      {with(home, kLeftCtrl), -1},
      {with(home, kRightCtrl), -1},
      {press(virtual_key::kDelete, 0x53, 0), -1},
      {press(virtual_key::kDown, 0x50, 0, kCapsLock), -1},
      {with(home, kShift | kNumLock), kNone},  // Shift turns keypad 7 into Home
      {with(home, kShift), kNone},
      {with(home, kNumLock), kNone},
      {press(0x0C, 0x4C, 0), kNone},  // keypad 5 with Num Lock off
      // Modifier and lock keys alone; right-hand Ctrl and Alt are enhanced.
      {press(virtual_key::kControl, 0x1D, 0, kRightCtrl | kEnhancedKey), kNone},
      {press(virtual_key::kMenu, 0x38, 0, kRightAlt | kEnhancedKey), kNone},
      {press(0x5B, 0x5B, 0, kEnhancedKey), kNone},  // the Windows key
      {press(0x13, 0x45, 0), kNone},                // Pause
      {release(up, kEnhancedKey), kNone},
      {with(up, kEnhancedKey, 0), kNone},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - kCases);
    EXPECT_EQ(c.character != kNone, single(c.event).registered);
    if (c.character != kNone) {
      EXPECT_EQ(c.character, single(c.event).character);
    }
  }
  for (const KeyEvent& key : {kShiftKey, kCtrlKey, kAltKey, kCapsKey, kNumLockKey, kScrollKey}) {
    SCOPED_TRACE(key.virtual_key);
    std::int32_t value = 0;
    EXPECT_FALSE(apply_key_rule(key, value).registered);
    EXPECT_FALSE(apply_key_rule(release(key, 0), value).registered);
    EXPECT_EQ(value, 0);
  }
  // Releases, and presses with a repeat count of 0, are dropped.
  for (const KeyEvent& key : {kLetterA, kEnter, kEscape, kF5}) {
    SCOPED_TRACE(key.virtual_key);
    EXPECT_FALSE(single(release(key, 0)).registered);
    EXPECT_FALSE(single(with(key, 0, 0)).registered);
  }
}

TEST(KeyRule, KeysRegisterWithAnyModifier) {
  for (std::uint32_t modifier :
       {kShift, kLeftCtrl, kRightCtrl, kLeftAlt, kRightAlt, kLeftCtrl | kShift,
        kRightAlt | kLeftCtrl, kLeftAlt | kLeftCtrl | kShift}) {
    SCOPED_TRACE(modifier);
    EXPECT_TRUE(single(with(kEnter, modifier)).registered);
    EXPECT_TRUE(single(with(kEscape, modifier)).registered);
    EXPECT_TRUE(single(with(kF5, modifier)).registered);
  }
  const std::uint16_t kBlock[][2] = {{virtual_key::kHome, 0x47},   {virtual_key::kEnd, 0x4F},
                                     {virtual_key::kPrior, 0x49},  {virtual_key::kNext, 0x51},
                                     {virtual_key::kLeft, 0x4B},   {virtual_key::kRight, 0x4D},
                                     {virtual_key::kUp, 0x48},     {virtual_key::kDown, 0x50},
                                     {virtual_key::kInsert, 0x52}, {virtual_key::kDelete, 0x53}};
  for (const auto& key : kBlock) {
    for (std::uint32_t modifier : {0u, kShift, kLeftCtrl, kLeftAlt, kRightAlt | kLeftCtrl}) {
      SCOPED_TRACE(testing::Message() << key[0] << " " << modifier);
      KeyOutcome outcome = single(press(key[0], key[1], 0, kEnhancedKey | modifier));
      EXPECT_TRUE(outcome.registered);
      EXPECT_EQ(outcome.character, -1);
    }
  }
}

// One event of a sequence fed to one rule, the character it registers
// and the keypad value after it.
struct Step {
  KeyEvent event;
  int character;
  std::int32_t value;
};

TEST(KeyRuleAltKeypad, DigitsTypedWithAltAloneRegisterTheirLowByteOnTheAltRelease) {
  constexpr std::uint32_t kHeldOn = kAltHeld | kNumLock;
  // The Alt release carries the composed character, but a release registers
  // only through the value.
  KeyEvent alt_up = release(kAltKey, kNumLock);
  alt_up.character = 'A';
  KeyEvent six = keypad(6, kNumLock);
  six.character = '6';
  const std::vector<Step> kSequences[] = {
      {{kAltKey, kNone, 0},
       {keypad(6, kHeldOn), kNone, 6},
       {release(keypad(6, 0), kHeldOn), kNone, 6},
       {keypad(5, kHeldOn), kNone, 65},
       {release(keypad(5, 0), kHeldOn), kNone, 65},
       {alt_up, 65, 0}},
      // Keypad 1, 2 and 0 with Num Lock off arrive as End, Down and Insert,
      // not enhanced.
      {{kAltKey, kNone, 0},
       {press(virtual_key::kEnd, 0x4F, 0, kRightAlt), kAny, 1},
       {press(virtual_key::kDown, 0x50, 0, kRightAlt), kAny, 12},
       {press(virtual_key::kInsert, 0x52, 0, kRightAlt), kAny, 120},
       {release(kAltKey, 0), 120, kAny}},
      {{keypad(3, kAltHeld), kAny, kAny},
       {keypad(2, kAltHeld), kAny, kAny},
       {keypad(1, kAltHeld), kAny, 321},
       {release(kAltKey, 0), 321 & 0xFF, kAny}},
      // Up of the separate block shares its scan code with keypad 8.
      {{press(virtual_key::kUp, 0x48, 0, kAltHeld | kEnhancedKey), kAny, 0}},
      // Digits need Alt alone; without Alt a keypad digit is a character.
      {{keypad(6, kLeftAlt | kLeftCtrl | kNumLock), kAny, 0}},
      {{keypad(6, kLeftAlt | kShift | kNumLock), kAny, 0}},
      {{keypad(6, kRightAlt | kLeftCtrl | kNumLock), kAny, 0}},
      {{six, '6', 0}},
      // Another registering key resets the value.
      {{keypad(6, kAltHeld), kAny, kAny},
       {keypad(5, kAltHeld), kAny, 65},
       {press('X', 0x2D, 'x', kAltHeld), 'x', 0},
       {release(kAltKey, 0), kNone, kAny},
       {keypad(7, kAltHeld), kAny, 7},
       {press(0x74, 0x3F, 0, kAltHeld), -1, 0}},  // Alt+F5
      // Value 0 registers nothing, nor Alt pressed and released alone.
      {{kAltKey, kNone, kAny},
       {keypad(0, kAltHeld), kNone, kAny},
       {keypad(0, kAltHeld), kNone, kAny},
       {release(kAltKey, 0), kNone, 0},
       {kAltKey, kAny, kAny},
       {release(kAltKey, 0), kNone, kAny}},
      // Events with Alt still held, or dropped, do not end the entry; Shift
      // pressed while Alt is held does: Alt is no longer held alone.
      {{keypad(6, kAltHeld), kAny, kAny},
       {release(keypad(6, 0), kAltHeld), kAny, kAny},
       {kAltKey, kAny, 6},
       {with(kShiftKey, kShift, 0), kNone, 6},
       {press(virtual_key::kShift, 0x2A, 0, kAltHeld | kShift), 6, 0}},
  };
  for (const auto& steps : kSequences) {
    std::int32_t value = 0;
    for (const Step& step : steps) {
      SCOPED_TRACE(testing::Message()
                   << "sequence " << &steps - kSequences << " step " << &step - steps.data());
      const KeyOutcome outcome = apply_key_rule(step.event, value);
      const bool registered = step.character != kNone;
      if (step.character != kAny) {
        EXPECT_EQ(registered, outcome.registered);
        EXPECT_TRUE(!registered || step.character == outcome.character) << outcome.character;
      }
      EXPECT_TRUE(step.value == kAny || step.value == value) << value;
    }
  }
}

}  // namespace
}  // namespace platform
