#pragma once
// A session: host actions, one a line, and the expectations that make it a self-checking test.
//
//   event PANEL CONTROL [EVENT TEXT]   a control event (code 2); the text is parsed by the host
//   request [TEXT]                     a parameter request (code 3)
//   timer ID                           a timer event (code 4)
//   code CODE [NUMBER]                 codes 1, 6, 7, or any code outside 1 to 7, with a number
//   show                               print the host's panels, crosspoints and timers
//   delete                             delete the script object
//   expect COMMAND TEXT                a command the module must have sent since the last action,
//                                      in order of the expect lines; "expect nothing" for none
//   answer TEXT | answer null          what the last request must have answered
//   # ...                              a comment; blank lines are skipped
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace vorn_host {

enum class action_kind { event, request, code, show, remove, expect, expectNothing, answer, answerNull };

struct session_action {
    action_kind kind;
    int line;
    std::string source;  // the line as written
    std::string panel;
    std::string control;
    std::string text;  // event text, request text, expected command or answer
    int code = 0;
    long number = 0;

    bool isExpectation() const {
        return kind == action_kind::expect || kind == action_kind::expectNothing || kind == action_kind::answer ||
               kind == action_kind::answerNull;
    }
};

// One line of a session: an action, nothing (blank or comment), or an error naming the line.
struct parsed_line {
    std::optional<session_action> action;
    std::string error;
};

parsed_line parseSessionLine(const std::string& line, int number);

// Every action of a session; on the first bad line, nothing and the error in `error`.
std::optional<std::vector<session_action>> readSession(std::istream& in, const std::string& name, std::string& error);

}  // namespace vorn_host
