#pragma once
// Texts that the senders and queries read in place: a literal, a string's text, an event's text
// or a number written into local storage go in as a pointer and a length, without a copy.
#include <cstring>

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

// A text that already exists, read in place: it must outlive the call it is passed to. It
// always ends in a NUL at data()[length()]. A null text is the empty text.
class text_view {
public:
    text_view(const char* text)
        : m_text(text ? text : ""), m_length(static_cast<unsigned>(std::strlen(m_text))), m_digitsOnly(false) {}
    text_view(const vorn_string& text) : m_text(text), m_length(text.length()), m_digitsOnly(false) {}
    text_view(const decimal_number& number) : m_text(number.text()), m_length(number.length()), m_digitsOnly(true) {}

    const char* data() const { return m_text; }
    unsigned length() const { return m_length; }
    // A number's digits hold no line break: they are copied without looking for one.
    bool digitsOnly() const { return m_digitsOnly; }

private:
    const char* m_text;
    unsigned m_length;
    bool m_digitsOnly;
};

// Where a filled command's first line break stands when it holds none (filled_text.h,
// fixed_command.h).
constexpr unsigned kNoLineBreak = ~0u;

// The value of a text of decimal digits, for constants that a script both compares as numbers
// and sends as texts: `constexpr char kPanel[] = "1"; constexpr int kPanelNumber =
// decimalValue(kPanel);` defines both once.
constexpr int decimalValue(const char* digits) {
    int value = 0;
    for (; *digits >= '0' && *digits <= '9'; ++digits) value = value * 10 + (*digits - '0');
    return value;
}
