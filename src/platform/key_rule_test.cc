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

// Feeds the events in order to one rule and gives each outcome.
std::vector<KeyOutcome> feed(const std::vector<KeyEvent>& events, std::int32_t& value) {
  std::vector<KeyOutcome> outcomes;
  for (const KeyEvent& event : events) outcomes.push_back(apply_key_rule(event, value));
  return outcomes;
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

TEST(KeyRuleCharacters, LettersEnterAndEscapeRegisterWithTheirCharacter) {
  EXPECT_TRUE(single(kLetterA).registered);
  EXPECT_EQ(single(kLetterA).character, 'a');
  EXPECT_EQ(single(press('A', 0x1E, 'A', kShift)).character, 'A');
  EXPECT_EQ(single(press('A', 0x1E, 'A', kCapsLock)).character, 'A');
  EXPECT_EQ(single(kEnter).character, '\r');
  EXPECT_EQ(single(kEscape).character, 0x1B);
  EXPECT_EQ(single(press(' ', 0x39, ' ')).character, ' ');
}

TEST(KeyRuleCharacters, RegisterWithAnyModifier) {
  for (std::uint32_t modifier : {kShift, kLeftCtrl, kRightCtrl, kLeftAlt, kRightAlt,
                                 kLeftCtrl | kShift, kRightAlt | kLeftCtrl}) {
    SCOPED_TRACE(modifier);
    KeyEvent enter = kEnter;
    enter.control_state = modifier;
    EXPECT_TRUE(single(enter).registered);
    KeyEvent escape = kEscape;
    escape.control_state = modifier;
    EXPECT_TRUE(single(escape).registered);
  }
  KeyOutcome ctrl_a = single(press('A', 0x1E, 0x01, kLeftCtrl));
  EXPECT_TRUE(ctrl_a.registered);
  EXPECT_EQ(ctrl_a.character, 0x01);
  EXPECT_EQ(single(press(0x0D, 0x1C, '\n', kLeftCtrl)).character, '\n');
  EXPECT_EQ(single(press('A', 0x1E, 'a', kLeftAlt)).character, 'a');
}

TEST(KeyRuleCharacters, HighBytesRegister) {
  KeyOutcome outcome = single(press(0xDE, 0x28, 0xE4));
  EXPECT_TRUE(outcome.registered);
  EXPECT_EQ(outcome.character, 0xE4);
}

TEST(KeyRuleKeysWithoutCharacter, FunctionKeysRegisterWithAnyModifier) {
  EXPECT_TRUE(single(kF5).registered);
  EXPECT_EQ(single(kF5).character, -1);
  EXPECT_TRUE(single(press(virtual_key::kF1, 0x3B, 0)).registered);
  EXPECT_TRUE(single(press(virtual_key::kF12, 0x58, 0)).registered);
  for (std::uint32_t modifier : {kShift, kLeftCtrl, kLeftAlt, kLeftAlt | kLeftCtrl | kShift}) {
    SCOPED_TRACE(modifier);
    EXPECT_TRUE(single(press(0x74, 0x3F, 0, modifier)).registered);
  }
  EXPECT_FALSE(single(press(0x7C, 0x64, 0)).registered);  // F13
}

TEST(KeyRuleKeysWithoutCharacter, EditingBlockRegistersWithAnyModifier) {
  const struct {
    std::uint16_t key;
    std::uint16_t scan;
  } kBlock[] = {{virtual_key::kHome, 0x47},   {virtual_key::kEnd, 0x4F},
                {virtual_key::kPrior, 0x49},  {virtual_key::kNext, 0x51},
                {virtual_key::kLeft, 0x4B},   {virtual_key::kRight, 0x4D},
                {virtual_key::kUp, 0x48},     {virtual_key::kDown, 0x50},
                {virtual_key::kInsert, 0x52}, {virtual_key::kDelete, 0x53}};
  for (const auto& key : kBlock) {
    for (std::uint32_t modifier : {0u, kShift, kLeftCtrl, kLeftAlt, kRightAlt | kLeftCtrl}) {
      SCOPED_TRACE(testing::Message() << key.key << " " << modifier);
      KeyOutcome outcome = single(press(key.key, key.scan, 0, kEnhancedKey | modifier));
      EXPECT_TRUE(outcome.registered);
      EXPECT_EQ(outcome.character, -1);
    }
  }
}

TEST(KeyRuleKeysWithoutCharacter, KeypadCursorKeysRegisterAloneOrWithCtrlWhenNumLockIsOff) {
  const KeyEvent home = press(virtual_key::kHome, 0x47, 0);
  EXPECT_TRUE(single(home).registered);
  KeyEvent with_ctrl = home;
  with_ctrl.control_state = kLeftCtrl;
  EXPECT_TRUE(single(with_ctrl).registered);
  with_ctrl.control_state = kRightCtrl;
  EXPECT_TRUE(single(with_ctrl).registered);
  EXPECT_TRUE(single(press(virtual_key::kDelete, 0x53, 0)).registered);
  EXPECT_TRUE(single(press(virtual_key::kDown, 0x50, 0, kCapsLock)).registered);

  KeyEvent with_shift = home;
  with_shift.control_state = kShift | kNumLock;  // Shift turns keypad 7 into Home
  EXPECT_FALSE(single(with_shift).registered);
  with_shift.control_state = kShift;
  EXPECT_FALSE(single(with_shift).registered);
  KeyEvent with_numlock = home;
  with_numlock.control_state = kNumLock;
  EXPECT_FALSE(single(with_numlock).registered);
  // Keypad 5 with Num Lock off is no cursor key.
  EXPECT_FALSE(single(press(0x0C, 0x4C, 0)).registered);
}

TEST(KeyRuleNothingRegisters, ModifierAndLockKeysAlone) {
  for (const KeyEvent& key : {kShiftKey, kCtrlKey, kAltKey, kCapsKey, kNumLockKey, kScrollKey}) {
    SCOPED_TRACE(key.virtual_key);
    std::int32_t value = 0;
    EXPECT_FALSE(apply_key_rule(key, value).registered);
    EXPECT_FALSE(apply_key_rule(release(key, 0), value).registered);
    EXPECT_EQ(value, 0);
  }
  // Right-hand Ctrl and Alt are enhanced keys of their own.
  EXPECT_FALSE(single(press(virtual_key::kControl, 0x1D, 0, kRightCtrl | kEnhancedKey)).registered);
  EXPECT_FALSE(single(press(virtual_key::kMenu, 0x38, 0, kRightAlt | kEnhancedKey)).registered);
  // The Windows key and Pause produce no character either.
  EXPECT_FALSE(single(press(0x5B, 0x5B, 0, kEnhancedKey)).registered);
  EXPECT_FALSE(single(press(0x13, 0x45, 0)).registered);
}

TEST(KeyRuleNothingRegisters, Releases) {
  for (const KeyEvent& key : {kLetterA, kEnter, kEscape, kF5}) {
    SCOPED_TRACE(key.virtual_key);
    EXPECT_FALSE(single(release(key, 0)).registered);
  }
  EXPECT_FALSE(single(release(press(virtual_key::kUp, 0x48, 0), kEnhancedKey)).registered);
}

TEST(KeyRuleNothingRegisters, RepeatCountZeroIsDropped) {
  for (KeyEvent key : {kLetterA, kEnter, kF5, press(virtual_key::kUp, 0x48, 0, kEnhancedKey)}) {
    SCOPED_TRACE(key.virtual_key);
    key.repeat_count = 0;
    EXPECT_FALSE(single(key).registered);
  }
  KeyEvent repeated = kLetterA;
  repeated.repeat_count = 3;
  EXPECT_TRUE(single(repeated).registered);
}

TEST(KeyRuleAltKeypad, AltWithKeypadSixFiveRegistersCharacter65OnRelease) {
  std::int32_t value = 0;
  std::vector<KeyOutcome> outcomes = feed(
      {
          kAltKey,
          keypad(6, kAltHeld | kNumLock),
          release(keypad(6, 0), kAltHeld | kNumLock),
          keypad(5, kAltHeld | kNumLock),
          release(keypad(5, 0), kAltHeld | kNumLock),
      },
      value);
  for (const KeyOutcome& outcome : outcomes) EXPECT_FALSE(outcome.registered);
  EXPECT_EQ(value, 65);

  // The Alt release carries the composed character, but a release registers
  // only through the value.
  KeyEvent alt_up = release(kAltKey, kNumLock);
  alt_up.character = 'A';
  KeyOutcome outcome = apply_key_rule(alt_up, value);
  EXPECT_TRUE(outcome.registered);
  EXPECT_EQ(outcome.character, 65);
  EXPECT_EQ(value, 0);
}

TEST(KeyRuleAltKeypad, DigitsComeWithNumLockOffAsKeypadCursorKeys) {
  std::int32_t value = 0;
  // Keypad 1 and 2 with Num Lock off arrive as End and Down, not enhanced.
  feed({kAltKey, press(virtual_key::kEnd, 0x4F, 0, kRightAlt),
        press(virtual_key::kDown, 0x50, 0, kRightAlt),
        press(virtual_key::kInsert, 0x52, 0, kRightAlt)},
       value);
  EXPECT_EQ(value, 120);
  EXPECT_EQ(apply_key_rule(release(kAltKey, 0), value).character, 120);
}

TEST(KeyRuleAltKeypad, TheValueKeepsOnlyItsLowByte) {
  std::int32_t value = 0;
  feed({keypad(3, kAltHeld), keypad(2, kAltHeld), keypad(1, kAltHeld)}, value);
  EXPECT_EQ(value, 321);
  EXPECT_EQ(apply_key_rule(release(kAltKey, 0), value).character, 321 & 0xFF);
}

TEST(KeyRuleAltKeypad, SeparateBlockArrowsAreNoDigits) {
  std::int32_t value = 0;
  // Up of the separate block shares its scan code with keypad 8.
  KeyOutcome outcome =
      apply_key_rule(press(virtual_key::kUp, 0x48, 0, kAltHeld | kEnhancedKey), value);
  EXPECT_TRUE(outcome.registered);
  EXPECT_EQ(value, 0);
}

TEST(KeyRuleAltKeypad, DigitsNeedAltAlone) {
  for (std::uint32_t state : {kLeftAlt | kLeftCtrl, kLeftAlt | kShift, kRightAlt | kLeftCtrl}) {
    SCOPED_TRACE(state);
    std::int32_t value = 0;
    apply_key_rule(keypad(6, state | kNumLock), value);
    EXPECT_EQ(value, 0);
  }
  // Without Alt, a keypad digit with Num Lock on is an ordinary character.
  std::int32_t value = 0;
  KeyEvent six = keypad(6, kNumLock);
  six.character = '6';
  KeyOutcome outcome = apply_key_rule(six, value);
  EXPECT_TRUE(outcome.registered);
  EXPECT_EQ(outcome.character, '6');
  EXPECT_EQ(value, 0);
}

TEST(KeyRuleAltKeypad, AnotherRegisteringKeyResetsTheValue) {
  std::int32_t value = 0;
  feed({keypad(6, kAltHeld), keypad(5, kAltHeld)}, value);
  ASSERT_EQ(value, 65);
  // Alt held with a letter registers the letter and drops the digits.
  KeyOutcome letter = apply_key_rule(press('X', 0x2D, 'x', kAltHeld), value);
  EXPECT_TRUE(letter.registered);
  EXPECT_EQ(letter.character, 'x');
  EXPECT_EQ(value, 0);
  EXPECT_FALSE(apply_key_rule(release(kAltKey, 0), value).registered);

  feed({keypad(7, kAltHeld)}, value);
  ASSERT_EQ(value, 7);
  EXPECT_EQ(apply_key_rule(press(0x74, 0x3F, 0, kAltHeld), value).character, -1);  // Alt+F5
  EXPECT_EQ(value, 0);
}

TEST(KeyRuleAltKeypad, ValueZeroRegistersNothing) {
  std::int32_t value = 0;
  std::vector<KeyOutcome> outcomes =
      feed({kAltKey, keypad(0, kAltHeld), keypad(0, kAltHeld), release(kAltKey, 0)}, value);
  for (const KeyOutcome& outcome : outcomes) EXPECT_FALSE(outcome.registered);
  EXPECT_EQ(value, 0);
  // Alt pressed and released alone registers nothing either.
  EXPECT_FALSE(feed({kAltKey, release(kAltKey, 0)}, value)[1].registered);
}

TEST(KeyRuleAltKeypad, EventsWithAltStillHeldDoNotEndTheEntry) {
  std::int32_t value = 0;
  feed({keypad(6, kAltHeld), release(keypad(6, 0), kAltHeld), kAltKey}, value);
  EXPECT_EQ(value, 6);
  // A dropped event does not end it either.
  KeyEvent dropped = kShiftKey;
  dropped.repeat_count = 0;
  EXPECT_FALSE(apply_key_rule(dropped, value).registered);
  EXPECT_EQ(value, 6);
  // Shift pressed while Alt is held: Alt is no longer held alone.
  KeyOutcome outcome =
      apply_key_rule(press(virtual_key::kShift, 0x2A, 0, kAltHeld | kShift), value);
  EXPECT_TRUE(outcome.registered);
  EXPECT_EQ(outcome.character, 6);
  EXPECT_EQ(value, 0);
}

}  // namespace
}  // namespace platform
