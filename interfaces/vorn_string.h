#pragma once
// The string library's text value, list and iterator, as the script module uses them.
// The library is its own shared library; every text the module keeps or builds is one of these.
//
// Ownership: every object owns its characters and releases them in its destructor.
// A pointer obtained through `operator const char*` stays valid while the string lives
// and is not changed.
//
// Failure: only allocation fails, and it is raised as std::bad_alloc in the caller's own
// module, never inside the library. Every export of the library is noexcept: the members that
// allocate are inline here, over exported primitives that return false when they could not
// allocate and then leave their object as it was (or empty, for one still being made). The
// inline member throws, so the exception starts and ends in the frames of the module that
// called it. On 32-bit Windows each DLL carries its own unwinder, which knows only its own
// frames: an exception thrown inside one DLL cannot pass through another's.
//
// Exports: the library's export table is what every script links against, so it holds the
// members marked VORN_STRING_API below and nothing else: the public members a script calls and
// the primitives under the inline ones. The private helpers stay inside the library, free to
// change. The list each shipped library exports is kept
// with its sources (vorn_string/exports/), and a test holds the built library to it.
//
//   vorn_string name("Sources");            // inline: throws std::bad_alloc here, in the caller
//   vorn_string line = name.arg(7, 0, 0, 10);
//   if (!line.assignText("x")) { ... }      // a primitive: false when out of memory, never throws
#include <new>

// VORN_STRING_API marks what the library exports. On Windows the classes are not exported as a
// whole, only those members. On ELF systems each class is visible as a whole, since its type
// information is named from the caller's module (the undefined-behaviour sanitizer's checks of
// dynamic types do), and its private helpers are hidden (VORN_STRING_INTERNAL).
#if defined(_WIN32)
#if defined(VORN_STRING_BUILDING)
#define VORN_STRING_API __declspec(dllexport)
#else
#define VORN_STRING_API __declspec(dllimport)
#endif
#define VORN_STRING_CLASS
#define VORN_STRING_INTERNAL
#else
#define VORN_STRING_API __attribute__((visibility("default")))
#define VORN_STRING_CLASS __attribute__((visibility("default")))
#define VORN_STRING_INTERNAL __attribute__((visibility("hidden")))
#endif

// A primitive's "could not allocate", raised inside the module that called it.
inline void vorn_require_memory(bool allocated) {
    if (!allocated) throw std::bad_alloc();
}

class vorn_stringlist;

class VORN_STRING_CLASS vorn_string {
public:
    // Texts up to this many characters live inside the object: no heap allocation.
    static const unsigned kInlineCapacity = 63;

    VORN_STRING_API vorn_string() noexcept;
    // A null text gives the empty string.
    vorn_string(const char* text) : vorn_string() { vorn_require_memory(assignText(text)); }
    // The text of `value` in `base` (2 to 36, otherwise 10), padded on the left with
    // `fill` (character code 0 pads with blanks) to at least `width` characters.
    // The module always calls it as (n, 0, 0, 10): the plain decimal text of n.
    vorn_string(int value, char fill, unsigned width, int base) : vorn_string() {
        vorn_require_memory(assignNumber(value, fill, width, base));
    }
    vorn_string(const vorn_string& other) : vorn_string() { vorn_require_memory(assignCopy(other)); }
    VORN_STRING_API virtual ~vorn_string();

    // A null text gives the empty string.
    vorn_string& operator=(const char* text) {
        vorn_require_memory(assignText(text));
        return *this;
    }
    vorn_string& operator=(const vorn_string& other) {
        vorn_require_memory(assignCopy(other));
        return *this;
    }
    vorn_string& operator+=(const vorn_string& other) {
        vorn_require_memory(appendCopy(other));
        return *this;
    }

    // Optional leading blanks, an optional sign, then decimal digits up to the first
    // non-digit. No digits gives 0; values beyond 32 bits saturate at the limit.
    VORN_STRING_API int toInt() const noexcept;
    VORN_STRING_API operator int() const noexcept;

    VORN_STRING_API unsigned length() const noexcept;

    // The NUL-terminated text; valid while this string lives unchanged.
    VORN_STRING_API operator const char*() const noexcept;

    // A copy in which every occurrence of the lowest-numbered placeholder present
    // ("%1" to "%9") is replaced by the argument's text; unchanged when none is left.
    vorn_string arg(const vorn_string& value) const {
        vorn_string filled;
        vorn_require_memory(fillLowestPlaceholder(value, filled));
        return filled;
    }
    vorn_string arg(int value, char fill, unsigned width, int base) const {
        return arg(vorn_string(value, fill, width, base));
    }

    // Divides at the first `separator`: the text before it goes to `left`, the text
    // after it to `right`. Without a separator `left` is the whole text and `right`
    // is empty. Returns 1 when a separator was found, 0 otherwise.
    int split(char separator, vorn_string& left, vorn_string& right) const {
        int found = 0;
        vorn_require_memory(splitAt(separator, left, right, found));
        return found;
    }

    // The exported primitives under the members above. Each returns false when it could not
    // allocate, and then leaves every string it was given as it was.
    VORN_STRING_API bool assignText(const char* text) noexcept;
    VORN_STRING_API bool assignNumber(int value, char fill, unsigned width, int base) noexcept;
    VORN_STRING_API bool assignCopy(const vorn_string& other) noexcept;
    VORN_STRING_API bool appendCopy(const vorn_string& other) noexcept;
    // Sets `filled` to this text with the lowest placeholder filled by `value`.
    VORN_STRING_API bool fillLowestPlaceholder(const vorn_string& value, vorn_string& filled) const noexcept;
    // `found` is split's result; `left` and `right` may be this very string.
    VORN_STRING_API bool splitAt(char separator, vorn_string& left, vorn_string& right, int& found) const noexcept;

private:
    friend class vorn_stringlist;

    VORN_STRING_INTERNAL bool assign(const char* text, unsigned length) noexcept;
    VORN_STRING_INTERNAL bool append(const char* text, unsigned length) noexcept;
    VORN_STRING_INTERNAL bool reserve(unsigned capacity) noexcept;
    // Takes `other`'s text without allocating, and leaves `other` empty.
    VORN_STRING_INTERNAL void adopt(vorn_string& other) noexcept;
    VORN_STRING_INTERNAL void release() noexcept;

    char* m_text;
    unsigned m_length;
    unsigned m_capacity;
    char m_inline[kInlineCapacity + 1];
};

inline vorn_string operator+(const vorn_string& left, const vorn_string& right) {
    vorn_string joined(left);
    joined += right;
    return joined;
}
inline vorn_string operator+(const vorn_string& left, const char* right) {
    return left + vorn_string(right);
}
inline vorn_string operator+(const char* left, const vorn_string& right) {
    return vorn_string(left) + right;
}

// Byte-for-byte equality, heeding case. A null text equals the empty string.
VORN_STRING_API bool operator==(const vorn_string& left, const char* right) noexcept;
// True when the whole text is the decimal notation of `right`: an optional sign and
// digits, nothing else ("1" and "01" equal 1; "1x", " 1" and "" do not).
VORN_STRING_API bool operator==(const vorn_string& left, int right) noexcept;
VORN_STRING_API bool operator!=(const vorn_string& left, const vorn_string& right) noexcept;

class vorn_stringlistIterator;

class VORN_STRING_CLASS vorn_stringlist {
public:
    VORN_STRING_API vorn_stringlist() noexcept;
    // Splits `text` at every `separator`, keeping empty items ("a,,b" gives three
    // items). An empty text gives an empty list.
    vorn_stringlist(const vorn_string& text, char separator) : vorn_stringlist() {
        vorn_require_memory(assignSplit(text, separator));
    }
    vorn_stringlist(const vorn_stringlist& other) : vorn_stringlist() { vorn_require_memory(assignCopy(other)); }
    VORN_STRING_API virtual ~vorn_stringlist();

    vorn_stringlist& operator=(const vorn_stringlist& other) {
        vorn_require_memory(assignCopy(other));
        return *this;
    }

    // Appends a copy of `item`; returns this list.
    vorn_stringlist& operator<<(const vorn_string& item) {
        vorn_require_memory(appendItem(item));
        return *this;
    }

    // The items joined by `separator`; a one-item list gives the item alone.
    vorn_string toString(char separator) const {
        vorn_string joined;
        vorn_require_memory(joinInto(separator, joined));
        return joined;
    }

    // Iterators stay valid while the list lives and is not appended to.
    VORN_STRING_API vorn_stringlistIterator begin() const noexcept;
    VORN_STRING_API vorn_stringlistIterator end() const noexcept;

    // The exported primitives under the members above. Each returns false when it could not
    // allocate, and then leaves every list and string it was given as it was.
    VORN_STRING_API bool assignSplit(const vorn_string& text, char separator) noexcept;
    VORN_STRING_API bool assignCopy(const vorn_stringlist& other) noexcept;
    VORN_STRING_API bool appendItem(const vorn_string& item) noexcept;
    VORN_STRING_API bool joinInto(char separator, vorn_string& joined) const noexcept;

private:
    // A list of one item, the usual answer, keeps it inside the object.
    static const unsigned kInlineItems = 1;

    // Takes `other`'s items without allocating, and leaves `other` empty.
    VORN_STRING_INTERNAL void adopt(vorn_stringlist& other) noexcept;
    VORN_STRING_INTERNAL bool grow() noexcept;
    VORN_STRING_INTERNAL void release() noexcept;

    vorn_string* m_items;
    unsigned m_count;
    unsigned m_capacity;
    vorn_string m_inline[kInlineItems];
};

class VORN_STRING_CLASS vorn_stringlistIterator {
public:
    VORN_STRING_API vorn_stringlistIterator(const vorn_string* position) noexcept;

    VORN_STRING_API const vorn_string& operator*() const noexcept;
    VORN_STRING_API bool operator!=(const vorn_stringlistIterator& other) const noexcept;
    // Advances; returns a copy of the advanced iterator.
    VORN_STRING_API vorn_stringlistIterator operator++() noexcept;

private:
    const vorn_string* m_position;
};
