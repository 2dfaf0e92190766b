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

// What one word's reader sees: the word, the line and where the word ended. It fills in the
// action, and returns what is wrong with the line, or nothing.
struct line_reading {
    const std::string& word;
    const std::string& line;
    size_t at;
    session_action& action;

    std::string next() { return nextWord(line, at); }
    std::string rest() const { return restOfLine(line, at); }
};

std::string readEvent(line_reading& r) {
    r.action.kind = action_kind::event;
    r.action.panel = r.next();
    r.action.control = r.next();
    if (r.action.control.empty()) return "expected: event PANEL CONTROL [EVENT TEXT]";
    r.action.text = r.rest();
    return "";
}

std::string readRequest(line_reading& r) {
    r.action.kind = action_kind::request;
    r.action.text = r.rest();
    return "";
}

// "timer ID", or "code CODE [NUMBER]" for the codes that carry a number.
std::string readCode(line_reading& r) {
    const bool isTimer = r.word == kTimer;
    r.action.kind = action_kind::code;
    const std::optional<long> code = isTimer ? std::optional<long>(kCodeTimer) : wholeNumber(r.next());
    const std::string numberText = r.next();
    const std::optional<long> value = numberText.empty() && !isTimer ? 0 : wholeNumber(numberText);
    if (!code || !value || !r.next().empty()) return isTimer ? "expected: timer ID" : "expected: code CODE [NUMBER]";
    if (*code == kCodeControlEvent || *code == kCodeParameterRequest || *code == kCodeRelease) {
        return "code " + std::to_string(*code) + " carries a record or a text: use event or request";
    }
    r.action.code = static_cast<int>(*code);
    r.action.number = *value;
    return "";
}

std::string readAlone(line_reading& r) {
    if (!r.next().empty()) return "expected: " + r.word + " alone";
    r.action.kind = r.word == kShow ? action_kind::show : action_kind::remove;
    return "";
}

// "expect TEXT" or "expect nothing"; "answer TEXT" or "answer null".
std::string readExpectation(line_reading& r) {
    r.action.text = r.rest();
    if (r.action.text.empty()) return "expected: " + r.word + " TEXT";
    if (r.word == kExpect) {
        r.action.kind = r.action.text == kNothing ? action_kind::expectNothing : action_kind::expect;
    } else {
        r.action.kind = r.action.text == kNull ? action_kind::answerNull : action_kind::answer;
    }
    return "";
}

// The session file's grammar: each line's first word and its reader.
struct session_word {
    const char* word;
    std::string (*read)(line_reading& r);
};

const session_word kSessionWords[] = {
    {kEvent, readEvent}, {kRequest, readRequest}, {kTimer, readCode},         {kCode, readCode},
    {kShow, readAlone},  {kDelete, readAlone},    {kExpect, readExpectation}, {kAnswer, readExpectation},
};

}  // namespace

parsed_line parseSessionLine(const std::string& rawLine, int number) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!isText(line)) return failed(number, "not a line of text (control or binary bytes)");

    size_t at = 0;
    const std::string word = nextWord(line, at);
    if (word.empty() || word[0] == '#') return {};

    session_action action{action_kind::show, number, line, "", "", "", 0, 0};
    for (const session_word& known : kSessionWords) {
        if (word != known.word) continue;
        line_reading reading{word, line, at, action};
        const std::string problem = known.read(reading);
        if (!problem.empty()) return failed(number, problem);
        return {action, ""};
    }
    return failed(number, "unknown action \"" + word + "\"");
}

std::optional<std::vector<session_action>> readSession(std::istream& in, const std::string& name, std::string& error) {
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
