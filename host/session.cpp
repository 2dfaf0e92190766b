#include "session.h"

#include <sstream>

#include "session_words.h"
#include "vorn_client_callback.h"
#include "whole_number.h"

namespace vorn_host {

namespace {

using namespace session_words;

bool isText(const std::string& line) {
    for (unsigned char c : line) {
        if ((c < 0x20 && c != '\t') || c == 0x7f) return false;
    }
    return true;
}

// The next blank-separated word from `at`, moving `at` past it.
std::string nextWord(const std::string& line, size_t& at) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    const size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
    return line.substr(start, at - start);
}

// What follows the single blank after the last word read.
std::string restOfLine(const std::string& line, size_t at) {
    return at < line.size() ? line.substr(at + 1) : "";
}

parsed_line failed(int number, const std::string& message) {
    return {std::nullopt, "line " + std::to_string(number) + ": " + message};
}

}  // namespace

parsed_line parseSessionLine(const std::string& rawLine, int number) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!isText(line)) return failed(number, "not a line of text (control or binary bytes)");

    size_t at = 0;
    const std::string word = nextWord(line, at);
    if (word.empty() || word[0] == '#') return {};

    session_action action{action_kind::show, number, line, "", "", "", 0, 0};
    if (word == kEvent) {
        action.kind = action_kind::event;
        action.panel = nextWord(line, at);
        action.control = nextWord(line, at);
        if (action.control.empty()) return failed(number, "expected: event PANEL CONTROL [EVENT TEXT]");
        action.text = restOfLine(line, at);
    } else if (word == kRequest) {
        action.kind = action_kind::request;
        action.text = restOfLine(line, at);
    } else if (word == kTimer || word == kCode) {
        action.kind = action_kind::code;
        std::optional<long> code = kCodeTimer;
        if (word == kCode) code = wholeNumber(nextWord(line, at));
        const std::string numberText = nextWord(line, at);
        const std::optional<long> value = numberText.empty() && word == kCode ? 0 : wholeNumber(numberText);
        if (!code || !value || !nextWord(line, at).empty()) {
            return failed(number, word == kTimer ? "expected: timer ID" : "expected: code CODE [NUMBER]");
        }
        if (*code == 2 || *code == 3 || *code == 5) {
            return failed(number, "code " + std::to_string(*code) +
                                      " carries a record or a text: use event or request");
        }
        action.code = static_cast<int>(*code);
        action.number = *value;
    } else if (word == kShow || word == kDelete) {
        if (!nextWord(line, at).empty()) return failed(number, "expected: " + word + " alone");
        action.kind = word == kShow ? action_kind::show : action_kind::remove;
    } else if (word == kExpect || word == kAnswer) {
        action.text = restOfLine(line, at);
        if (action.text.empty()) return failed(number, "expected: " + word + " TEXT");
        if (word == kExpect) {
            action.kind = action.text == kNothing ? action_kind::expectNothing : action_kind::expect;
        } else {
            action.kind = action.text == kNull ? action_kind::answerNull : action_kind::answer;
        }
    } else {
        return failed(number, "unknown action \"" + word + "\"");
    }
    return {action, ""};
}

std::optional<std::vector<session_action>> readSession(std::istream& in, const std::string& name,
                                                       std::string& error) {
    std::vector<session_action> actions;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        parsed_line parsed = parseSessionLine(line, number);
        if (!parsed.error.empty()) {
            error = name + ": " + parsed.error;
            return std::nullopt;
        }
        if (parsed.action) actions.push_back(*parsed.action);
    }
    return actions;
}

}  // namespace vorn_host
