#include "filled_text.h"

namespace {

bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Copies a field's `length` characters and returns where the first line break among them
// stands, or `length` when there is none.
unsigned copyLookingForLineBreak(char* to, const char* from, unsigned length) {
    for (unsigned i = 0; i < length; ++i) {
        const char c = from[i];
        to[i] = c;
        // Both line breaks are below '\r'+1: most characters take the first test only.
        if (static_cast<unsigned char>(c) <= '\r' && isLineBreak(c)) {
            std::memcpy(to + i + 1, from + i + 1, length - i - 1);
            return i;
        }
    }
    return length;
}

}  // namespace

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

// Most command lines fit the object's own storage: they are written there in one pass, and
// only a line that does not fit is measured and written again into storage of its size.
filled_text::filled_text(const char* format, std::initializer_list<text_view> fields)
    : m_text(m_inline), m_length(0), m_lineBreakAt(kNoLineBreak) {
    const unsigned written = fill(format, fields, m_inline, kInlineText);
    if (written <= kInlineText) {
        m_length = written;
        return;
    }
    m_text = new char[written + 1];
    m_length = fill(format, fields, m_text, written);
}

// Writes the filled format into `out` while it fits in `capacity` characters and a NUL;
// returns the whole length, which is above `capacity` when it did not fit. A field's
// characters are looked at for line breaks as they are copied, unless they are a number's.
unsigned filled_text::fill(const char* format, std::initializer_list<text_view> fields, char* out,
                           unsigned capacity) {
    const text_view* const field = fields.begin();
    const unsigned fieldCount = static_cast<unsigned>(fields.size());
    unsigned lineBreakAt = kNoLineBreak;
    unsigned length = 0;
    for (const char* p = format; *p; ++p) {
        // "%1" names field 0; any other character after '%' names none.
        const unsigned index = p[0] == '%' ? static_cast<unsigned char>(p[1]) - static_cast<unsigned>('1') : kNoField;
        if (index >= kMaxFields || index >= fieldCount) {
            if (length < capacity) out[length] = *p;
            ++length;
            continue;
        }
        const text_view& text = field[index];
        const unsigned fieldLength = text.length();
        if (length + fieldLength <= capacity) {
            if (text.digitsOnly()) {
                std::memcpy(out + length, text.data(), fieldLength);
            } else {
                const unsigned at = copyLookingForLineBreak(out + length, text.data(), fieldLength);
                if (at < fieldLength && lineBreakAt == kNoLineBreak) lineBreakAt = length + at;
            }
        }
        length += fieldLength;
        ++p;
    }
    if (length <= capacity) out[length] = '\0';
    m_lineBreakAt = lineBreakAt;
    return length;
}

filled_text::~filled_text() {
    if (m_text != m_inline) delete[] m_text;
}
