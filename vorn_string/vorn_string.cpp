// The text value: characters inline up to kInlineCapacity, on the heap beyond.
#include "vorn_string.h"

#include "number_text.h"

#include <climits>
#include <cstring>

namespace {

unsigned textLength(const char* text) {
    return text ? static_cast<unsigned>(std::strlen(text)) : 0;
}

}  // namespace

vorn_string::vorn_string() : m_text(m_inline), m_length(0), m_capacity(kInlineCapacity) {
    m_inline[0] = '\0';
}

vorn_string::vorn_string(const char* text) : m_text(m_inline), m_length(0), m_capacity(kInlineCapacity) {
    const unsigned length = textLength(text);
    if (length <= kInlineCapacity) {
        std::memcpy(m_inline, text ? text : "", length + 1);
        m_length = length;
    } else {
        assign(text, length);
    }
}

vorn_string::vorn_string(int value, char fill, unsigned width, int base) : vorn_string() {
    number_text digits(value, fill, width, base);
    assign(digits.text(), digits.length());
}

vorn_string::vorn_string(const vorn_string& other)
    : m_text(m_inline), m_length(0), m_capacity(kInlineCapacity) {
    if (other.m_length <= kInlineCapacity) {
        std::memcpy(m_inline, other.m_text, other.m_length + 1);
        m_length = other.m_length;
    } else {
        assign(other.m_text, other.m_length);
    }
}

vorn_string::~vorn_string() {
    if (m_text != m_inline) delete[] m_text;
}

vorn_string& vorn_string::operator=(const char* text) {
    assign(text, textLength(text));
    return *this;
}

vorn_string& vorn_string::operator=(const vorn_string& other) {
    if (this != &other) assign(other.m_text, other.m_length);
    return *this;
}

vorn_string& vorn_string::operator+=(const vorn_string& other) {
    append(other.m_text, other.m_length);
    return *this;
}

int vorn_string::toInt() const {
    const char* p = m_text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

vorn_string::operator int() const {
    return toInt();
}

unsigned vorn_string::length() const {
    return m_length;
}

vorn_string::operator const char*() const {
    return m_text;
}

int vorn_string::split(char separator, vorn_string& left, vorn_string& right) const {
    const char* found = static_cast<const char*>(std::memchr(m_text, separator, m_length));
    if (!found) {
        // `left` may be this very string: copy before clearing `right`.
        left = *this;
        right = "";
        return 0;
    }
    vorn_string before;
    before.assign(m_text, static_cast<unsigned>(found - m_text));
    right.assign(found + 1, static_cast<unsigned>(m_text + m_length - found - 1));
    left = before;
    return 1;
}

void vorn_string::assign(const char* text, unsigned length) {
    if (length > m_capacity) {
        char* grown = new char[length + 1];
        if (m_text != m_inline) delete[] m_text;
        m_text = grown;
        m_capacity = length;
    }
    if (length) std::memmove(m_text, text, length);
    m_text[length] = '\0';
    m_length = length;
}

void vorn_string::append(const char* text, unsigned length) {
    if (m_length + length > m_capacity) {
        // `text` may point into this string: keep it until the copy is done.
        char* grown = new char[m_length + length + 1];
        std::memcpy(grown, m_text, m_length);
        std::memcpy(grown + m_length, text, length);
        if (m_text != m_inline) delete[] m_text;
        m_text = grown;
        m_capacity = m_length + length;
    } else {
        std::memmove(m_text + m_length, text, length);
    }
    m_length += length;
    m_text[m_length] = '\0';
}

void vorn_string::reserve(unsigned capacity) {
    if (capacity <= m_capacity) return;
    char* grown = new char[capacity + 1];
    std::memcpy(grown, m_text, m_length + 1);
    if (m_text != m_inline) delete[] m_text;
    m_text = grown;
    m_capacity = capacity;
}

vorn_string operator+(const vorn_string& left, const vorn_string& right) {
    vorn_string joined(left);
    joined += right;
    return joined;
}

vorn_string operator+(const vorn_string& left, const char* right) {
    return left + vorn_string(right);
}

vorn_string operator+(const char* left, const vorn_string& right) {
    return vorn_string(left) + right;
}

bool operator==(const vorn_string& left, const char* right) {
    return std::strcmp(left, right ? right : "") == 0;
}

bool operator==(const vorn_string& left, int right) {
    const char* p = left;
    const bool negative = (*p == '-');
    if (*p == '+' || *p == '-') ++p;
    if (*p < '0' || *p > '9') return false;
    // Any number of digits may follow; once the magnitude is beyond every int it stays beyond.
    const long long beyondInt = static_cast<long long>(INT_MAX) + 2;
    long long magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > beyondInt) magnitude = beyondInt;
    }
    if (*p != '\0') return false;
    return (negative ? -magnitude : magnitude) == right;
}

bool operator!=(const vorn_string& left, const vorn_string& right) {
    return left.length() != right.length() || !(left == static_cast<const char*>(right));
}
