// The string library on any texts: placeholder filling, splitting, number reading and lists
// keep the rules their callers rely on.
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "vorn_string.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

std::string text(const vorn_string& s) {
    return std::string(static_cast<const char*>(s), s.length());
}

bool hasPlaceholder(const std::string& s) {
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        if (s[i] == '%' && s[i + 1] >= '1' && s[i + 1] <= '9') return true;
    }
    return false;
}

// What toInt must give: blanks, a sign, digits, saturating.
long long expectedNumber(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (n < 10000000000LL) n = n * 10 + (*p - '0');
    }
    n = negative ? -n : n;
    return n < INT_MIN ? INT_MIN : (n > INT_MAX ? INT_MAX : n);
}

// What equality with a number must give: the whole text is a sign and digits denoting n.
bool expectedDenotes(const std::string& s, int n) {
    size_t at = (!s.empty() && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    const bool negative = at && s[0] == '-';
    if (at == s.size() || s.find_first_not_of("0123456789", at) != std::string::npos) return false;
    while (at + 1 < s.size() && s[at] == '0') ++at;
    if (s.size() - at > 10) return false;
    const long long magnitude = std::stoll(s.substr(at));
    return (negative ? -magnitude : magnitude) == n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_input in(data, size);
    const char separator = static_cast<char>(in.byte());
    const std::string first = in.text();
    const std::string second = in.text();
    const vorn_string s(first.c_str());
    const vorn_string value(second.c_str());
    require(text(s) == std::string(first.c_str()));

    const vorn_string filled = s.arg(value);
    if (!hasPlaceholder(text(s))) require(text(filled) == text(s));
    const vorn_string number = s.arg(in.integer(), 0, 0, 10);
    require(number.length() <= s.length() * 11 + 11);

    require(s.toInt() == expectedNumber(s));
    const int compared = in.integer();
    require((s == compared) == expectedDenotes(text(s), compared));
    // Any separator, NUL included.
    vorn_string left, right;
    if (s.split(separator, left, right)) {
        require(text(left) + separator + text(right) == text(s));
    } else {
        require(text(left) == text(s) && right.length() == 0);
    }
    const vorn_stringlist list(s, separator);
    require(text(list.toString(separator)) == text(s));
    vorn_string joined = s + value;
    joined += joined;
    require(joined.length() == 2 * (s.length() + value.length()));
    return 0;
}
