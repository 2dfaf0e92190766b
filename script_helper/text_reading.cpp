#include "text_reading.h"

#include <climits>
#include <cstring>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits at `p`, as a magnitude held at `ceiling` once it passes it; `p` ends past them.
long long readMagnitude(const char*& p, long long ceiling) {
    long long magnitude = 0;
    for (; isDigit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > ceiling) magnitude = ceiling;
    }
    return magnitude;
}

}  // namespace

int textNumber(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    const long long magnitude = readMagnitude(p, limit);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

bool textDenotes(const char* text, int number) {
    if (!text) return false;
    const char* p = text;
    const bool negative = (*p == '-');
    if (*p == '+' || *p == '-') ++p;
    if (!isDigit(*p)) return false;
    const long long magnitude = readMagnitude(p, static_cast<long long>(INT_MAX) + 2);
    if (*p != '\0') return false;
    return (negative ? -magnitude : magnitude) == number;
}

bool textEquals(const char* text, const char* other) {
    return std::strcmp(text ? text : "", other ? other : "") == 0;
}
