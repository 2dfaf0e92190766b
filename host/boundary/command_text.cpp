#include "command_text.h"

#include <cstring>

namespace vorn_host {

std::optional<std::vector<std::string>> command_text::fieldsShaped(const char* shape) const {
    if (fields.size() != std::strlen(shape)) return std::nullopt;
    std::vector<std::string> texts;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].quoted != (shape[i] == 'q')) return std::nullopt;
        texts.push_back(fields[i].text);
    }
    return texts;
}

std::optional<command_text> splitCommandText(const std::string& line) {
    command_text command;
    size_t at = line.find(' ');
    command.word = line.substr(0, at);
    while (at != std::string::npos && at < line.size()) {
        if (line[at] == ' ') {
            ++at;
        } else if (line[at] == '\'') {
            const size_t close = line.find('\'', at + 1);
            if (close == std::string::npos) return std::nullopt;
            command.fields.push_back({line.substr(at + 1, close - at - 1), true});
            at = close + 1;
        } else {
            const size_t end = line.find(' ', at);
            command.fields.push_back({line.substr(at, end - at), false});
            at = end;
        }
    }
    return command;
}

}  // namespace vorn_host
