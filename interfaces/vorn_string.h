#pragma once
// The string library's text value, list and iterator, as the script module uses them.
// The library is its own shared library; every text the module keeps or builds is one of these.
//
// Ownership: every object owns its characters and releases them in its destructor.
// A pointer obtained through `operator const char*` stays valid while the string lives
// and is not changed. Only allocation failure raises an exception (std::bad_alloc).

#if defined(_WIN32)
#  if defined(VORN_STRING_BUILDING)
#    define VORN_STRING_API __declspec(dllexport)
#  else
#    define VORN_STRING_API __declspec(dllimport)
#  endif
#else
#  define VORN_STRING_API __attribute__((visibility("default")))
#endif

class VORN_STRING_API vorn_string {
public:
    // Texts up to this many characters live inside the object: no heap allocation.
    static const unsigned kInlineCapacity = 63;

    vorn_string();
    // A null text gives the empty string.
    vorn_string(const char* text);
    // The text of `value` in `base` (2 to 36, otherwise 10), padded on the left with
    // `fill` (character code 0 pads with blanks) to at least `width` characters.
    // The module always calls it as (n, 0, 0, 10): the plain decimal text of n.
    vorn_string(int value, char fill, unsigned width, int base);
    vorn_string(const vorn_string& other);
    virtual ~vorn_string();

    // A null text gives the empty string.
    vorn_string& operator=(const char* text);
    vorn_string& operator=(const vorn_string& other);
    vorn_string& operator+=(const vorn_string& other);

    // Optional leading blanks, an optional sign, then decimal digits up to the first
    // non-digit. No digits gives 0; values beyond 32 bits saturate at the limit.
    int toInt() const;
    operator int() const;

    unsigned length() const;

    // The NUL-terminated text; valid while this string lives unchanged.
    operator const char*() const;

    // A copy in which every occurrence of the lowest-numbered placeholder present
    // ("%1" to "%9") is replaced by the argument's text; unchanged when none is left.
    vorn_string arg(const vorn_string& value) const;
    vorn_string arg(int value, char fill, unsigned width, int base) const;

    // Divides at the first `separator`: the text before it goes to `left`, the text
    // after it to `right`. Without a separator `left` is the whole text and `right`
    // is empty. Returns 1 when a separator was found, 0 otherwise.
    int split(char separator, vorn_string& left, vorn_string& right) const;

private:
    friend class vorn_stringlist;

    void assign(const char* text, unsigned length);
    void append(const char* text, unsigned length);
    void reserve(unsigned capacity);

    char* m_text;
    unsigned m_length;
    unsigned m_capacity;
    char m_inline[kInlineCapacity + 1];
};

VORN_STRING_API vorn_string operator+(const vorn_string& left, const vorn_string& right);
VORN_STRING_API vorn_string operator+(const vorn_string& left, const char* right);
VORN_STRING_API vorn_string operator+(const char* left, const vorn_string& right);

// Byte-for-byte equality, heeding case. A null text equals the empty string.
VORN_STRING_API bool operator==(const vorn_string& left, const char* right);
// True when the whole text is the decimal notation of `right`: an optional sign and
// digits, nothing else ("1" and "01" equal 1; "1x", " 1" and "" do not).
VORN_STRING_API bool operator==(const vorn_string& left, int right);
VORN_STRING_API bool operator!=(const vorn_string& left, const vorn_string& right);

class vorn_stringlistIterator;

class VORN_STRING_API vorn_stringlist {
public:
    vorn_stringlist();
    // Splits `text` at every `separator`, keeping empty items ("a,,b" gives three
    // items). An empty text gives an empty list.
    vorn_stringlist(const vorn_string& text, char separator);
    vorn_stringlist(const vorn_stringlist& other);
    virtual ~vorn_stringlist();

    vorn_stringlist& operator=(const vorn_stringlist& other);

    // Appends a copy of `item`; returns this list.
    vorn_stringlist& operator<<(const vorn_string& item);

    // The items joined by `separator`; a one-item list gives the item alone.
    vorn_string toString(char separator) const;

    // Iterators stay valid while the list lives and is not appended to.
    vorn_stringlistIterator begin() const;
    vorn_stringlistIterator end() const;

private:
    // A list of one item, the usual answer, keeps it inside the object.
    static const unsigned kInlineItems = 1;

    void grow();

    vorn_string* m_items;
    unsigned m_count;
    unsigned m_capacity;
    vorn_string m_inline[kInlineItems];
};

class VORN_STRING_API vorn_stringlistIterator {
public:
    vorn_stringlistIterator(const vorn_string* position);

    const vorn_string& operator*() const;
    bool operator!=(const vorn_stringlistIterator& other) const;
    // Advances; returns a copy of the advanced iterator.
    vorn_stringlistIterator operator++();

private:
    const vorn_string* m_position;
};
