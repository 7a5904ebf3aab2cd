# Sets GPIO 2 of an ESP32-C3 (a 32-bit RISC-V) high, over and over.
    .text
    .global _start
_start:
    li a0, 0x60004004
    li a1, 4
loop:
    sw a1, 0(a0)
    j loop
