// The ordered list of texts and its iterator.
//
// Nothing thrown here leaves: item storage comes from the nothrow operator new, and a primitive
// that cannot get it returns false with its list as it was. Assignments build a new list and
// take it over whole.
#include "vorn_string.h"

#include <climits>
#include <cstddef>
#include <cstring>
#include <new>

namespace {

// Storage for `count` empty strings, or null.
vorn_string* newItems(unsigned count) {
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(sizeof(vorn_string), std::size_t{count}, &bytes)) return nullptr;
    void* storage = ::operator new(bytes, std::nothrow);
    if (!storage) return nullptr;
    vorn_string* items = static_cast<vorn_string*>(storage);
    for (unsigned i = 0; i < count; ++i) new (items + i) vorn_string();
    return items;
}

void deleteItems(vorn_string* items, unsigned count) {
    for (unsigned i = 0; i < count; ++i) items[i].~vorn_string();
    ::operator delete(items);
}

}  // namespace

vorn_stringlist::vorn_stringlist() noexcept : m_items(m_inline), m_count(0), m_capacity(kInlineItems) {}

vorn_stringlist::~vorn_stringlist() {
    release();
}

bool vorn_stringlist::assignSplit(const vorn_string& text, char separator) noexcept {
    vorn_stringlist made;
    const char* from = text;
    const char* const end = from + text.length();
    // The text holds no NUL before its end: a NUL separator never divides it.
    while (from != end) {
        const char* at = separator ? static_cast<const char*>(std::memchr(from, separator, end - from)) : nullptr;
        vorn_string item;
        if (!item.assign(from, static_cast<unsigned>((at ? at : end) - from)) || !made.appendItem(item)) return false;
        if (!at) break;
        from = at + 1;
        // A separator at the very end leaves one empty item after it.
        if (from == end && !made.appendItem(vorn_string())) return false;
    }
    adopt(made);
    return true;
}

bool vorn_stringlist::assignCopy(const vorn_stringlist& other) noexcept {
    if (this == &other) return true;
    vorn_stringlist made;
    for (unsigned i = 0; i < other.m_count; ++i) {
        if (!made.appendItem(other.m_items[i])) return false;
    }
    adopt(made);
    return true;
}

bool vorn_stringlist::appendItem(const vorn_string& item) noexcept {
    // `item` may be one of ours, which growing moves: copy it first.
    vorn_string copy;
    if (!copy.assignCopy(item)) return false;
    if (m_count == m_capacity && !grow()) return false;
    m_items[m_count++].adopt(copy);
    return true;
}

bool vorn_stringlist::joinInto(char separator, vorn_string& joined) const noexcept {
    const char separatorText[2] = {separator, '\0'};
    vorn_string made;
    for (unsigned i = 0; i < m_count; ++i) {
        if (i && !made.append(separatorText, 1)) return false;
        if (!made.appendCopy(m_items[i])) return false;
    }
    joined.adopt(made);
    return true;
}

vorn_stringlistIterator vorn_stringlist::begin() const noexcept {
    return vorn_stringlistIterator(m_items);
}

vorn_stringlistIterator vorn_stringlist::end() const noexcept {
    return vorn_stringlistIterator(m_items + m_count);
}

void vorn_stringlist::adopt(vorn_stringlist& other) noexcept {
    release();
    if (other.m_items == other.m_inline) {
        for (unsigned i = 0; i < other.m_count; ++i) m_inline[i].adopt(other.m_inline[i]);
    } else {
        m_items = other.m_items;
        m_capacity = other.m_capacity;
        other.m_items = other.m_inline;
        other.m_capacity = kInlineItems;
    }
    m_count = other.m_count;
    other.m_count = 0;
}

bool vorn_stringlist::grow() noexcept {
    if (m_capacity > UINT_MAX / 2) return false;
    const unsigned capacity = m_capacity < 4 ? 4 : m_capacity * 2;
    vorn_string* grown = newItems(capacity);
    if (!grown) return false;
    // Items move without allocating.
    for (unsigned i = 0; i < m_count; ++i) grown[i].adopt(m_items[i]);
    const unsigned count = m_count;
    release();
    m_items = grown;
    m_capacity = capacity;
    m_count = count;
    return true;
}

// Frees the items' storage; the list is empty and inline afterwards.
void vorn_stringlist::release() noexcept {
    if (m_items != m_inline) deleteItems(m_items, m_capacity);
    for (vorn_string& item : m_inline) item.release();
    m_items = m_inline;
    m_capacity = kInlineItems;
    m_count = 0;
}

vorn_stringlistIterator::vorn_stringlistIterator(const vorn_string* position) noexcept : m_position(position) {}

const vorn_string& vorn_stringlistIterator::operator*() const noexcept {
    return *m_position;
}

bool vorn_stringlistIterator::operator!=(const vorn_stringlistIterator& other) const noexcept {
    return m_position != other.m_position;
}

vorn_stringlistIterator vorn_stringlistIterator::operator++() noexcept {
    ++m_position;
    return *this;
}
