// Decimal texts of the profile files turned into numbers: leading white
// space, an optional sign, then digits up to the first other character.
// Text without digits gives 0.
#include "config/config.h"

static const char* SkipSpaceAndSign(const char* text, int* negative)
{
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\v' || *text == '\f' || *text == '\r')
        text++;
    *negative = 0;
    if (*text == '+' || *text == '-') {
        *negative = *text == '-';
        text++;
    }
    return text;
}

int32_t TextToInt32(const char* text)
{
    int negative;
    text = SkipSpaceAndSign(text, &negative);
    // The magnitude is held below 2^31 + 1, so nothing overflows; a number
    // beyond the range gives the nearest limit.
    const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    uint32_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        uint32_t digit = (uint32_t)(*text - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == 0x80000000u ? INT32_MIN : -(int32_t)magnitude;
    return (int32_t)magnitude;
}

uint64_t TextToUInt64(const char* text)
{
    int negative;
    text = SkipSpaceAndSign(text, &negative);
    // Unsigned arithmetic: a number beyond 64 bits wraps instead of overflowing.
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; text++)
        value = value * 10 + (uint64_t)(*text - '0');
    return negative ? (uint64_t)0 - value : value;
}
