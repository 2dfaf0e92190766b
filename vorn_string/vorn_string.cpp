// The text value: characters inline up to kInlineCapacity, on the heap beyond.
//
// Nothing thrown here leaves: storage comes from the nothrow operator new, and a primitive that
// cannot get it returns false with its strings as they were. The header's inline members raise
// the failure in the caller's module.
#include "vorn_string.h"

#include "number_text.h"

#include <climits>
#include <cstring>
#include <new>

namespace {

unsigned textLength(const char* text) {
    return text ? static_cast<unsigned>(std::strlen(text)) : 0;
}

char* newText(unsigned capacity) {
    return new (std::nothrow) char[capacity + 1];
}

}  // namespace

vorn_string::vorn_string() noexcept : m_text(m_inline), m_length(0), m_capacity(kInlineCapacity) {
    m_inline[0] = '\0';
}

vorn_string::~vorn_string() {
    release();
}

bool vorn_string::assignText(const char* text) noexcept {
    return assign(text ? text : "", textLength(text));
}

bool vorn_string::assignNumber(int value, char fill, unsigned width, int base) noexcept {
    const number_text digits(value, fill, width, base);
    return assign(digits.text(), digits.length());
}

bool vorn_string::assignCopy(const vorn_string& other) noexcept {
    return this == &other || assign(other.m_text, other.m_length);
}

bool vorn_string::appendCopy(const vorn_string& other) noexcept {
    return append(other.m_text, other.m_length);
}

int vorn_string::toInt() const noexcept {
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

vorn_string::operator int() const noexcept {
    return toInt();
}

unsigned vorn_string::length() const noexcept {
    return m_length;
}

vorn_string::operator const char*() const noexcept {
    return m_text;
}

bool vorn_string::splitAt(char separator, vorn_string& left, vorn_string& right, int& found) const noexcept {
    const char* at = static_cast<const char*>(std::memchr(m_text, separator, m_length));
    // Both parts are made before either result changes: `left` or `right` may be this string.
    vorn_string before;
    vorn_string after;
    const unsigned beforeLength = at ? static_cast<unsigned>(at - m_text) : m_length;
    if (!before.assign(m_text, beforeLength)) return false;
    if (at && !after.assign(at + 1, m_length - beforeLength - 1)) return false;
    left.adopt(before);
    right.adopt(after);
    found = at ? 1 : 0;
    return true;
}

bool vorn_string::assign(const char* text, unsigned length) noexcept {
    if (length > m_capacity) {
        char* grown = newText(length);
        if (!grown) return false;
        release();
        m_text = grown;
        m_capacity = length;
    }
    if (length) std::memmove(m_text, text, length);
    m_text[length] = '\0';
    m_length = length;
    return true;
}

bool vorn_string::append(const char* text, unsigned length) noexcept {
    if (length > UINT_MAX - 1 - m_length) return false;
    if (m_length + length > m_capacity) {
        // `text` may point into this string: keep it until the copy is done.
        const unsigned joined = m_length + length;
        char* grown = newText(joined);
        if (!grown) return false;
        std::memcpy(grown, m_text, m_length);
        std::memcpy(grown + m_length, text, length);
        release();
        m_text = grown;
        m_capacity = joined;
        m_length = joined;
    } else {
        std::memmove(m_text + m_length, text, length);
        m_length += length;
    }
    m_text[m_length] = '\0';
    return true;
}

bool vorn_string::reserve(unsigned capacity) noexcept {
    if (capacity <= m_capacity) return true;
    char* grown = newText(capacity);
    if (!grown) return false;
    const unsigned length = m_length;
    std::memcpy(grown, m_text, length + 1);
    release();
    m_text = grown;
    m_capacity = capacity;
    m_length = length;
    return true;
}

void vorn_string::adopt(vorn_string& other) noexcept {
    if (this == &other) return;
    if (other.m_text == other.m_inline) {
        assign(other.m_text, other.m_length);  // fits inline here too: allocates nothing
    } else {
        release();
        m_text = other.m_text;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_text = other.m_inline;
    }
    other.release();
}

// Frees the heap text; the string is empty and inline afterwards.
void vorn_string::release() noexcept {
    if (m_text != m_inline) delete[] m_text;
    m_text = m_inline;
    m_capacity = kInlineCapacity;
    m_length = 0;
    m_inline[0] = '\0';
}

bool operator==(const vorn_string& left, const char* right) noexcept {
    return std::strcmp(left, right ? right : "") == 0;
}

bool operator==(const vorn_string& left, int right) noexcept {
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

bool operator!=(const vorn_string& left, const vorn_string& right) noexcept {
    return left.length() != right.length() || !(left == static_cast<const char*>(right));
}
