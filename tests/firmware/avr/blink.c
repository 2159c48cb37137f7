// A small test program for the simulated board: blinks PB5 and walks a table in flash, which is
// big enough that its Intel HEX text is longer than the shuffled part of a stored image.
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>

#define TABLE_SIZE 3600

static const uint8_t table[TABLE_SIZE] PROGMEM = {
#define B(n) (uint8_t)(((n) * 37u + 11u) & 0xFFu)
#define R16(n) B(n), B(n + 1), B(n + 2), B(n + 3), B(n + 4), B(n + 5), B(n + 6), B(n + 7), \
               B(n + 8), B(n + 9), B(n + 10), B(n + 11), B(n + 12), B(n + 13), B(n + 14), B(n + 15)
#define R256(n) R16(n), R16(n + 16), R16(n + 32), R16(n + 48), R16(n + 64), R16(n + 80), \
                R16(n + 96), R16(n + 112), R16(n + 128), R16(n + 144), R16(n + 160), \
                R16(n + 176), R16(n + 192), R16(n + 208), R16(n + 224), R16(n + 240)
    R256(0), R256(256), R256(512), R256(768), R256(1024), R256(1280), R256(1536), R256(1792),
    R256(2048), R256(2304), R256(2560), R256(2816), R256(3072), R256(3328), R16(3584),
};

int main(void)
{
    DDRB |= _BV(PB5);
    uint16_t i = 0;
    for (;;) {
        uint8_t v = pgm_read_byte(&table[i]);
        if (++i == TABLE_SIZE) {
            i = 0;
        }
        if (v & 1) {
            PORTB ^= _BV(PB5);
        }
        for (volatile uint16_t d = 0; d < 4000; ++d) {
        }
    }
}
