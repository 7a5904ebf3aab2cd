# Sets GPIO 2 of an ESP8266 (an Xtensa LX106) high, over and over.
    .text
    .global _start
    .literal_position
    .align 4
_start:
    movi a2, 0x60000300
    movi a3, 4
loop:
    s32i a3, a2, 0
    j loop
    .section .rodata
    .word 0x60000300
    .section .flash.text, "ax"
    .align 4
flash_loop:
    j flash_loop
