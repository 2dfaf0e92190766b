#pragma once
// A command line that a module sent, split into its word and its fields.
#include <optional>
#include <string>
#include <vector>

namespace vorn_host {

struct command_field {
    std::string text;
    bool quoted;
};

struct command_text {
    std::string word;  // "PS", "TP", ...
    std::vector<command_field> fields;

    // The fields' texts, when they have exactly the quoting given ('q' quoted, 'b' bare).
    std::optional<std::vector<std::string>> fieldsShaped(const char* shape) const;
};

// Splits "WORD field field ...": a field is either 'quoted text' or a run of non-blanks.
// Null when the quotes do not balance.
std::optional<command_text> splitCommandText(const std::string& line);

}  // namespace vorn_host
