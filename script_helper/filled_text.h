#pragma once
// Texts made from a format with numbered placeholders, in one pass: every command line the
// script base sends and every trace it writes.
#include <initializer_list>

#include "compiled_format.h"
#include "text_view.h"

// `format` with its placeholders "%1" to "%9" replaced by the fields, as a chain of single fills
// would replace them when no field holds a placeholder: the lowest number the format holds takes
// the first field, the next lowest the second, and so on; every "%N" of one number takes the
// same field. The fields are copied in as they are, once: a "%1" inside a field stays "%1". A
// placeholder beyond the fields, "%0" and a lone "%" stay as they are. Short texts are made
// without heap allocation.
// While the fields are copied, the first CR or LF that one brings is noted (lineBreakAt).
class filled_text {
public:
    filled_text(const char* format, std::initializer_list<text_view> fields);
    // The same text from a format compiled with the module: its length is known before a
    // character is written, so it is written once, into storage of its size.
    filled_text(const compiled_format& format, std::initializer_list<text_view> fields);
    ~filled_text();
    filled_text(const filled_text&) = delete;
    filled_text& operator=(const filled_text&) = delete;

    const char* text() const { return m_text; }
    unsigned length() const { return m_length; }
    // Where the first line break that a field brought stands in text(); kNoLineBreak if none.
    unsigned lineBreakAt() const { return m_lineBreakAt; }

    static const unsigned kInlineText = 127;

private:
    static constexpr unsigned kMaxFields = 9;  // "%1" to "%9"
    static constexpr unsigned kNoField = kMaxFields;
    static bool numberedWithoutGaps(unsigned digits);
    static void rankFields(unsigned digits, unsigned char (&fieldOf)[kMaxFields]);
    unsigned fill(const char* format, std::initializer_list<text_view> fields, char* out, unsigned capacity,
                  const unsigned char* fieldOf, unsigned& digits);

    char* m_text;
    unsigned m_length;
    unsigned m_lineBreakAt;
    char m_inline[kInlineText + 1];
};
