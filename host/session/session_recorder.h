#pragma once
// Sessions that write themselves: each action played, followed by what the module did in
// answer to it, as the session's own `expect` and `answer` lines.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "session.h"

namespace vorn_host {

class session_recorder {
public:
    // The commands a new script sent while it was made.
    void created(const std::vector<std::string>& sent);
    // One action and what the module did: the commands it sent, and for a request its answer.
    void played(const session_action& action, const std::vector<std::string>& sent,
                const std::optional<std::string>& answer);

    // The whole session: the creation's expect lines, then each action with its own.
    std::vector<std::string> lines() const;

    // The session file's lines with every expect and answer line replaced by what the module
    // did; comments, blank lines and actions stay as they are.
    std::vector<std::string> updated(const std::vector<std::string>& original) const;

private:
    static std::vector<std::string> outcomeLines(const session_action& action, const std::vector<std::string>& sent,
                                                 const std::optional<std::string>& answer);

    std::vector<std::string> m_created;
    std::vector<std::pair<session_action, std::vector<std::string>>> m_played;  // action, its outcome lines
};

// The lines of `before` and `after` that differ, as "-" and "+" lines with the lines around them.
std::string lineDiff(const std::vector<std::string>& before, const std::vector<std::string>& after);

}  // namespace vorn_host
