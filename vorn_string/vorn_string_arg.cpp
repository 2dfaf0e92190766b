// Filling numbered placeholders "%1" to "%9".
#include "vorn_string.h"

namespace {

// A string's text ends in its terminator, so the character after a '%' at the end is that NUL,
// which is no digit: p[1] is always there to read.
bool isPlaceholderAt(const char* p) {
    return p[0] == '%' && p[1] >= '1' && p[1] <= '9';
}

// The placeholders of the lowest number in a text, found in one pass. Up to kTracked of them
// are remembered by position; a text with more is walked again when it is filled.
struct lowest_placeholders {
    static const unsigned kTracked = 16;

    lowest_placeholders(const char* text, const char* end) {
        for (const char* p = text; p < end; ++p) {
            if (!isPlaceholderAt(p)) continue;
            if (!digit || p[1] < digit) {
                digit = p[1];
                count = 0;
            }
            if (p[1] == digit) {
                if (count < kTracked) at[count] = p;
                ++count;
            }
            ++p;
        }
    }

    char digit = 0;
    unsigned count = 0;
    const char* at[kTracked];
};

}  // namespace

bool vorn_string::fillLowestPlaceholder(const vorn_string& value, vorn_string& filled) const noexcept {
    const char* const end = m_text + m_length;
    const lowest_placeholders found(m_text, end);
    vorn_string made;
    if (!found.digit) {
        if (!made.assign(m_text, m_length)) return false;
        filled.adopt(made);
        return true;
    }

    if (!made.reserve(m_length + value.m_length)) return false;
    const char* copiedUpTo = m_text;
    bool whole = true;
    const auto fillAt = [&](const char* p) {
        whole = whole && made.append(copiedUpTo, static_cast<unsigned>(p - copiedUpTo)) &&
                made.append(value.m_text, value.m_length);
        copiedUpTo = p + 2;
    };
    if (found.count <= lowest_placeholders::kTracked) {
        for (unsigned i = 0; i < found.count; ++i) fillAt(found.at[i]);
    } else {
        for (const char* p = m_text; p < end; ++p) {
            if (!isPlaceholderAt(p)) continue;
            if (p[1] == found.digit) fillAt(p);
            ++p;
        }
    }
    if (!whole || !made.append(copiedUpTo, static_cast<unsigned>(end - copiedUpTo))) return false;
    filled.adopt(made);
    return true;
}
