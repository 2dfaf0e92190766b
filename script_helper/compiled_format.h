#pragma once
// A format whose placeholders are found when the module is compiled: the runs of the format's
// own text between them, and the field each placeholder takes. Filling one (filled_text.h) copies
// those runs and the fields, and looks at no character of the format; the text is the one the
// run-time filler makes from the same format and fields.
//
//   constexpr compiled_format kTextPut = compiledFormat(kTextPutFormat);  // "TP '%1=%2' '%3' '%4'"
//   send(filled_text(kTextPut, {property, value, panel, control}));
//
// As there, the lowest placeholder number takes the first field, the next lowest the second, and
// so on; "%0", a lone '%' and any other character after '%' are the format's own text.

struct compiled_format {
    static constexpr unsigned kMaxPlaceholders = 16;
    static constexpr unsigned char kNoField = 9;

    // The format itself: each run is a part of it.
    const char* text;
    // The placeholders in the order they stand, each after a run of the format's own text: the
    // run's start and length in `text`, the placeholder's field (its rank among the numbers the
    // format holds) and the placeholder's own two characters' start, kept for a placeholder
    // beyond the fields it is given, which stays as it is.
    unsigned placeholders;
    unsigned runStart[kMaxPlaceholders + 1];
    unsigned runLength[kMaxPlaceholders + 1];
    unsigned char field[kMaxPlaceholders];
    // The format's own characters in all: the length of the text with every field empty.
    unsigned ownLength;
};

template <unsigned Size>
constexpr compiled_format compiledFormat(const char (&format)[Size]) {
    compiled_format compiled{};
    compiled.text = format;
    unsigned length = 0;
    while (length < Size && format[length] != '\0') ++length;
    bool present[9] = {};
    // A '%' at the end is followed by the format's NUL, which is no digit.
    for (unsigned at = 0; at < length; ++at) {
        const unsigned digit = format[at] == '%' ? static_cast<unsigned>(format[at + 1] - '1') : 9;
        if (digit < 9) present[digit] = true, ++at;
    }
    unsigned char rankOf[9] = {};
    for (unsigned digit = 0, rank = 0; digit < 9; ++digit) {
        rankOf[digit] = static_cast<unsigned char>(present[digit] ? rank++ : compiled_format::kNoField);
    }
    unsigned runStart = 0;
    for (unsigned at = 0; at < length; ++at) {
        const unsigned digit = format[at] == '%' ? static_cast<unsigned>(format[at + 1] - '1') : 9;
        if (digit >= 9) continue;
        // A format with more placeholders than are kept does not compile: the index is out of range.
        const unsigned n = compiled.placeholders++;
        compiled.runStart[n] = runStart;
        compiled.runLength[n] = at - runStart;
        compiled.field[n] = rankOf[digit];
        compiled.ownLength += at - runStart;
        runStart = at + 2;
        ++at;
    }
    compiled.runStart[compiled.placeholders] = runStart;
    compiled.runLength[compiled.placeholders] = length - runStart;
    compiled.ownLength += length - runStart;
    return compiled;
}
