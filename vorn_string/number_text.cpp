#include "number_text.h"

number_text::number_text(int value, char fill, unsigned width, int base) {
    if (base < 2 || base > 36) base = 10;
    if (width > kMaxWidth) width = kMaxWidth;
    const char* digits = "0123456789abcdefghijklmnopqrstuvwxyz";

    // Digits are written backwards from the end of the buffer.
    char* end = m_buffer + sizeof m_buffer - 1;
    char* p = end;
    *p = '\0';
    // Work on the magnitude as unsigned so that INT_MIN needs no special case.
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        *--p = digits[magnitude % static_cast<unsigned>(base)];
        magnitude /= static_cast<unsigned>(base);
    } while (magnitude);
    if (value < 0) *--p = '-';
    const char pad = fill ? fill : ' ';
    while (static_cast<unsigned>(end - p) < width) *--p = pad;

    m_text = p;
    m_length = static_cast<unsigned>(end - p);
}
