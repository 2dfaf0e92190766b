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

// Copies the `length` characters of a run of a format; returns the end of the copy.
char* copyRun(char* to, const char* from, unsigned length) {
    for (unsigned i = 0; i < length; ++i) to[i] = from[i];
    return to + length;
}

}  // namespace

filled_text::filled_text(const compiled_format& format, std::initializer_list<text_view> fields)
    : m_text(m_inline), m_length(format.ownLength), m_lineBreakAt(kNoLineBreak) {
    const text_view* const field = fields.begin();
    const unsigned fieldCount = static_cast<unsigned>(fields.size());
    const unsigned placeholders = format.placeholders;
    // A placeholder beyond the fields stays as it is: its two characters.
    for (unsigned i = 0; i < placeholders; ++i) {
        const unsigned index = format.field[i];
        m_length += index < fieldCount ? field[index].length() : 2;
    }
    if (m_length > kInlineText) m_text = new char[m_length + 1];
    char* out = m_text;
    for (unsigned i = 0; i < placeholders; ++i) {
        const char* run = format.text + format.runStart[i];
        out = copyRun(out, run, format.runLength[i]);
        const unsigned index = format.field[i];
        if (index >= fieldCount) {
            out = copyRun(out, run + format.runLength[i], 2);
            continue;
        }
        const text_view& text = field[index];
        const unsigned length = text.length();
        if (text.digitsOnly()) {
            std::memcpy(out, text.data(), length);
        } else {
            const unsigned at = copyLookingForLineBreak(out, text.data(), length);
            if (at < length && m_lineBreakAt == kNoLineBreak) m_lineBreakAt = static_cast<unsigned>(out - m_text) + at;
        }
        out += length;
    }
    out = copyRun(out, format.text + format.runStart[placeholders], format.runLength[placeholders]);
    *out = '\0';
}

// Most command lines fit the object's own storage and number their placeholders from 1 without
// gaps: they are written there in one pass. A format with gaps is written again with each field
// at its rank, and a line that does not fit is written again into storage of its size.
filled_text::filled_text(const char* format, std::initializer_list<text_view> fields)
    : m_text(m_inline), m_length(0), m_lineBreakAt(kNoLineBreak) {
    unsigned digits = 0;
    unsigned written = fill(format, fields, m_inline, kInlineText, nullptr, digits);
    unsigned char ranked[kMaxFields];
    const unsigned char* fieldOf = nullptr;
    if (!numberedWithoutGaps(digits)) {
        rankFields(digits, ranked);
        fieldOf = ranked;
        written = fill(format, fields, m_inline, kInlineText, fieldOf, digits);
    }
    if (written <= kInlineText) {
        m_length = written;
        return;
    }
    m_text = new char[written + 1];
    m_length = fill(format, fields, m_text, written, fieldOf, digits);
}

// True when the placeholder numbers present are 1 to some N: each field is then at its number.
bool filled_text::numberedWithoutGaps(unsigned digits) {
    return (digits & (digits + 1)) == 0;
}

// Which field each placeholder "%1" to "%9" takes: a format filled by a chain of single fills,
// each replacing the lowest number still in the text, gives its first field to the lowest
// number the format holds, its second to the next, and so on. "%2 %3" takes fields 1 and 2.
void filled_text::rankFields(unsigned digits, unsigned char (&fieldOf)[kMaxFields]) {
    unsigned char rank = 0;
    for (unsigned digit = 0; digit < kMaxFields; ++digit) fieldOf[digit] = (digits >> digit & 1u) ? rank++ : kNoField;
}

// Writes the filled format into `out` while it fits in `capacity` characters and a NUL, each
// placeholder taking the field `fieldOf` names (null: the field of its own number). Returns the
// whole length, which is above `capacity` when it did not fit, and sets `digits` to the
// placeholder numbers met. A field's characters are looked at for line breaks as they are
// copied, unless they are a number's.
unsigned filled_text::fill(const char* format, std::initializer_list<text_view> fields, char* out, unsigned capacity,
                           const unsigned char* fieldOf, unsigned& digits) {
    const text_view* const field = fields.begin();
    const unsigned fieldCount = static_cast<unsigned>(fields.size());
    unsigned seen = 0;
    unsigned lineBreakAt = kNoLineBreak;
    unsigned length = 0;
    for (const char* p = format;; ++p) {
        // The format's own characters, up to the next '%'.
        for (; *p != '\0' && *p != '%'; ++p) {
            if (length < capacity) out[length] = *p;
            ++length;
        }
        if (*p == '\0') break;
        // "%1" to "%9" name a field; any other character after '%' names none, and the '%' stays.
        const unsigned digit = static_cast<unsigned char>(p[1]) - static_cast<unsigned>('1');
        unsigned index = kNoField;
        if (digit < kMaxFields) {
            seen |= 1u << digit;
            index = fieldOf ? fieldOf[digit] : digit;
        }
        if (index >= fieldCount) {
            if (length < capacity) out[length] = '%';
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
    digits = seen;
    return length;
}

filled_text::~filled_text() {
    if (m_text != m_inline) delete[] m_text;
}
