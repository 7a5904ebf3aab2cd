// Blinks the LED of an Arduino Uno R4 (P102 on the Renesas RA4M1, a Cortex-M4)
// once a second or so, writing the port's registers directly.
#include <stdint.h>

volatile uint32_t* const kPortDirection = reinterpret_cast<uint32_t*>(0x40040020);
volatile uint32_t* const kPortOutput = reinterpret_cast<uint32_t*>(0x40040024);

void wait(uint32_t count) {
  for (volatile uint32_t i = 0; i < count; ++i) {
  }
}

extern "C" void Reset_Handler() {
  *kPortDirection |= 1u << 2;
  for (;;) {
    *kPortOutput ^= 1u << 2;
    wait(4000000);
  }
}

// The vector table: the stack's top, then the reset handler.
extern "C" __attribute__((section(".isr_vector"), used)) void (*const kVectors[2])() = {
    reinterpret_cast<void (*)()>(0x20008000), Reset_Handler};
