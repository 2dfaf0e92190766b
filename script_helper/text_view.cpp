#include "text_view.h"

decimal_number::decimal_number(int value) {
    char* p = m_digits + sizeof m_digits - 1;
    *p = '\0';
    // The magnitude as unsigned, so that the lowest int needs no special case.
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--p = '-';
    m_text = p;
    m_length = static_cast<unsigned>(m_digits + sizeof m_digits - 1 - p);
}
