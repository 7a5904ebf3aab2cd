// Blinks the LED on pin 13 (PB5 on an ATmega328P) once a second.
#include <avr/io.h>
#include <util/delay.h>

int main(void) {
  DDRB |= _BV(DDB5);
  for (;;) {
    PORTB ^= _BV(PORTB5);
    _delay_ms(500);
  }
}
