// Filling numbered placeholders "%1" to "%9".
#include "vorn_string.h"

namespace {

bool isPlaceholderAt(const char* text, unsigned index, unsigned length) {
    return text[index] == '%' && index + 1 < length && text[index + 1] >= '1' && text[index + 1] <= '9';
}

// The digit of the lowest-numbered placeholder in `text`, or 0 when there is none.
char lowestPlaceholder(const char* text, unsigned length) {
    char lowest = 0;
    for (unsigned i = 0; i + 1 < length; ++i) {
        if (isPlaceholderAt(text, i, length) && (!lowest || text[i + 1] < lowest)) lowest = text[i + 1];
    }
    return lowest;
}

}  // namespace

vorn_string vorn_string::arg(const vorn_string& value) const {
    const char digit = lowestPlaceholder(m_text, m_length);
    if (!digit) return *this;

    vorn_string filled;
    filled.reserve(m_length + value.m_length);
    unsigned copiedUpTo = 0;
    for (unsigned i = 0; i + 1 < m_length; ++i) {
        if (isPlaceholderAt(m_text, i, m_length) && m_text[i + 1] == digit) {
            filled.append(m_text + copiedUpTo, i - copiedUpTo);
            filled.append(value.m_text, value.m_length);
            copiedUpTo = i + 2;
            ++i;
        }
    }
    filled.append(m_text + copiedUpTo, m_length - copiedUpTo);
    return filled;
}

vorn_string vorn_string::arg(int value, char fill, unsigned width, int base) const {
    return arg(vorn_string(value, fill, width, base));
}
