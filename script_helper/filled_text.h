#pragma once
// Texts made from a format with numbered placeholders, in one pass: every command line the
// script base sends and every trace it writes.
#include <cstring>
#include <initializer_list>

#include "vorn_string.h"

// The plain decimal text of a number, in local storage.
class decimal_number {
public:
    explicit decimal_number(int value);
    const char* text() const { return m_text; }
    unsigned length() const { return m_length; }

private:
    char m_digits[12];  // a sign, ten digits and the NUL
    const char* m_text;
    unsigned m_length;
};

// One argument of a format: a text read in place, which must outlive the filled_text's making.
class field_text {
public:
    field_text(const vorn_string& text) : m_text(text), m_length(text.length()) {}
    // A null text is the empty text.
    field_text(const char* text) : m_text(text ? text : ""), m_length(static_cast<unsigned>(std::strlen(m_text))) {}
    field_text(const decimal_number& number) : m_text(number.text()), m_length(number.length()) {}

    const char* text() const { return m_text; }
    unsigned length() const { return m_length; }

private:
    const char* m_text;
    unsigned m_length;
};

// `format` with each "%N" (N from 1 to 9) replaced by field N. The format is read once and
// the fields are copied in as they are: a "%1" inside a field stays "%1". A placeholder with no
// field, "%0" and a lone "%" stay as they are. Short texts are made without heap allocation.
class filled_text {
public:
    filled_text(const char* format, std::initializer_list<field_text> fields);
    ~filled_text();
    filled_text(const filled_text&) = delete;
    filled_text& operator=(const filled_text&) = delete;

    const char* text() const { return m_text; }
    unsigned length() const { return m_length; }

    static const unsigned kInlineText = 127;

private:
    static constexpr unsigned kMaxFields = 9;  // "%1" to "%9"
    static constexpr unsigned kNoField = kMaxFields;
    static unsigned fill(const char* format, std::initializer_list<field_text> fields, char* out,
                         unsigned capacity);

    char* m_text;
    unsigned m_length;
    char m_inline[kInlineText + 1];
};
