#pragma once
// Commands whose every field is a constant of the script, filled when the module is compiled:
// sending one costs the host call alone. The text is the one the sender makes at run time from
// the same format and fields (filled_text.h), and a fixed command that would hold a line break
// is traced instead of sent, as there.
//
//   constexpr char kSelection[] = "index";  (and the other fields, each constexpr)
//   constexpr auto kClearSources = fixedTextPut(kSelection, kCleared, kPanel, kSources);
//   ...
//   sendCommand(kClearSources);           // "TP 'index=0' '1' 'Sources'"
#include <initializer_list>

#include "command_texts.h"
#include "text_view.h"

template <unsigned Size>
struct fixed_command {
    char text[Size];
    unsigned length;
    unsigned lineBreakAt;  // where a field's first CR or LF stands, or kNoLineBreak
};

namespace fixed_command_detail {

constexpr unsigned textLength(const char* text, unsigned size) {
    unsigned length = 0;
    while (length < size && text[length] != '\0') ++length;
    return length;
}

constexpr unsigned largest(std::initializer_list<unsigned> sizes) {
    unsigned most = 0;
    for (unsigned size : sizes) most = size > most ? size : most;
    return most;
}

}  // namespace fixed_command_detail

// `format` filled with `fields` as the one-pass filler fills it (filled_text.h): the lowest
// placeholder number takes the first field, and so on; any other '%' stays. Room for every "%N"
// to take the longest field.
template <unsigned FormatSize, unsigned... FieldSizes>
constexpr auto fixedCommand(const char (&format)[FormatSize], const char (&... fields)[FieldSizes]) {
    constexpr unsigned kFieldCount = sizeof...(FieldSizes);
    constexpr unsigned kSize = FormatSize + FormatSize / 2 * fixed_command_detail::largest({FieldSizes...});
    fixed_command<kSize> command{};
    const char* const texts[kFieldCount + 1] = {fields..., nullptr};
    const unsigned lengths[kFieldCount + 1] = {fixed_command_detail::textLength(fields, FieldSizes)..., 0};
    command.lineBreakAt = kNoLineBreak;
    const unsigned formatLength = fixed_command_detail::textLength(format, FormatSize);
    // As the run-time filler does: the lowest placeholder number takes the first field, and so on.
    bool present[9] = {};
    for (unsigned at = 0; at < formatLength; ++at) {
        const unsigned digit = format[at] == '%' ? static_cast<unsigned>(format[at + 1] - '1') : 9;
        if (digit < 9) present[digit] = true, ++at;
    }
    unsigned fieldOf[9] = {};
    for (unsigned digit = 0, rank = 0; digit < 9; ++digit) fieldOf[digit] = present[digit] ? rank++ : 9;
    for (unsigned at = 0; at < formatLength; ++at) {
        const unsigned digit = format[at] == '%' ? static_cast<unsigned>(format[at + 1] - '1') : 9;
        const unsigned index = digit < 9 ? fieldOf[digit] : 9;
        if (index >= kFieldCount) {
            command.text[command.length++] = format[at];
            continue;
        }
        for (unsigned i = 0; i < lengths[index]; ++i) {
            const char c = texts[index][i];
            if ((c == '\n' || c == '\r') && command.lineBreakAt == kNoLineBreak) command.lineBreakAt = command.length;
            command.text[command.length++] = c;
        }
        ++at;
    }
    command.text[command.length] = '\0';
    return command;
}

// "TP 'property=value' 'panel' 'control'", filled when the module is compiled.
template <unsigned A, unsigned B, unsigned C, unsigned D>
constexpr auto fixedTextPut(const char (&property)[A], const char (&value)[B], const char (&panel)[C],
                            const char (&control)[D]) {
    return fixedCommand(kTextPutFormat, property, value, panel, control);
}
