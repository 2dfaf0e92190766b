#pragma once
// The text of an integer in a given base, padded to a width, built in a local buffer.

class number_text {
public:
    // `base` outside 2 to 36 counts as 10; `fill` code 0 pads with blanks; the width is
    // capped at kMaxWidth.
    number_text(int value, char fill, unsigned width, int base);

    const char* text() const { return m_text; }
    unsigned length() const { return m_length; }

    static const unsigned kMaxWidth = 256;

private:
    // Sign and 32 binary digits, the widest width, and the NUL.
    char m_buffer[kMaxWidth + 34];
    const char* m_text;
    unsigned m_length;
};
