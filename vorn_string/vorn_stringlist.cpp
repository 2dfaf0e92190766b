// The ordered list of texts and its iterator.
#include "vorn_string.h"

#include <cstring>
#include <memory>

vorn_stringlist::vorn_stringlist() : m_items(m_inline), m_count(0), m_capacity(kInlineItems) {}

vorn_stringlist::vorn_stringlist(const vorn_string& text, char separator) : vorn_stringlist() {
    const char* rest = text;
    if (!*rest) return;
    // The text ends at its NUL: a NUL separator can never divide it.
    if (separator == '\0') {
        *this << text;
        return;
    }
    for (;;) {
        const char* found = std::strchr(rest, separator);
        if (!found) {
            *this << vorn_string(rest);
            return;
        }
        vorn_string item;
        item.assign(rest, static_cast<unsigned>(found - rest));
        *this << item;
        rest = found + 1;
    }
}

vorn_stringlist::vorn_stringlist(const vorn_stringlist& other) : vorn_stringlist() {
    *this = other;
}

vorn_stringlist::~vorn_stringlist() {
    if (m_items != m_inline) delete[] m_items;
}

vorn_stringlist& vorn_stringlist::operator=(const vorn_stringlist& other) {
    if (this == &other) return *this;
    m_count = 0;
    for (const vorn_string& item : other) *this << item;
    return *this;
}

vorn_stringlist& vorn_stringlist::operator<<(const vorn_string& item) {
    if (m_count == m_capacity) {
        // `item` may be one of ours: keep a copy across the move.
        vorn_string kept(item);
        grow();
        m_items[m_count++] = kept;
    } else {
        m_items[m_count++] = item;
    }
    return *this;
}

vorn_string vorn_stringlist::toString(char separator) const {
    const char separatorText[2] = {separator, '\0'};
    vorn_string joined;
    for (unsigned i = 0; i < m_count; ++i) {
        if (i) joined += separatorText;
        joined += m_items[i];
    }
    return joined;
}

vorn_stringlistIterator vorn_stringlist::begin() const {
    return vorn_stringlistIterator(m_items);
}

vorn_stringlistIterator vorn_stringlist::end() const {
    return vorn_stringlistIterator(m_items + m_count);
}

void vorn_stringlist::grow() {
    const unsigned capacity = m_capacity < 4 ? 4 : m_capacity * 2;
    // Copying a long item allocates and may fail: the new storage is freed then, and the list
    // stays as it was.
    std::unique_ptr<vorn_string[]> grown(new vorn_string[capacity]);
    for (unsigned i = 0; i < m_count; ++i) grown[i] = m_items[i];
    if (m_items != m_inline) delete[] m_items;
    m_items = grown.release();
    m_capacity = capacity;
}

vorn_stringlistIterator::vorn_stringlistIterator(const vorn_string* position) : m_position(position) {}

const vorn_string& vorn_stringlistIterator::operator*() const {
    return *m_position;
}

bool vorn_stringlistIterator::operator!=(const vorn_stringlistIterator& other) const {
    return m_position != other.m_position;
}

vorn_stringlistIterator vorn_stringlistIterator::operator++() {
    ++m_position;
    return *this;
}
