#include "filled_text.h"

namespace {

// The field that the placeholder at `p` names, or null when `p` starts no placeholder that
// has a field.
const field_text* fieldAt(const char* p, std::initializer_list<field_text> fields) {
    if (p[0] != '%' || p[1] < '1' || p[1] > '9') return nullptr;
    const unsigned index = static_cast<unsigned>(p[1] - '1');
    return index < fields.size() ? fields.begin() + index : nullptr;
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

filled_text::filled_text(const char* format, std::initializer_list<field_text> fields)
    : m_text(m_inline), m_length(0) {
    unsigned length = 0;
    for (const char* p = format; *p; ++p) {
        const field_text* field = fieldAt(p, fields);
        if (field) {
            length += field->length();
            ++p;
        } else {
            ++length;
        }
    }
    if (length > kInlineText) m_text = new char[length + 1];

    char* out = m_text;
    for (const char* p = format; *p; ++p) {
        const field_text* field = fieldAt(p, fields);
        if (field) {
            std::memcpy(out, field->text(), field->length());
            out += field->length();
            ++p;
        } else {
            *out++ = *p;
        }
    }
    *out = '\0';
    m_length = length;
}

filled_text::~filled_text() {
    if (m_text != m_inline) delete[] m_text;
}
