#include "session_recorder.h"

#include <algorithm>

#include "session_words.h"

namespace vorn_host {

namespace {

const std::string kExpect = session_words::kExpect + std::string(" ");
const std::string kExpectNothing = kExpect + session_words::kNothing;
const std::string kAnswer = session_words::kAnswer + std::string(" ");
const std::string kAnswerNull = kAnswer + session_words::kNull;

bool isExpectation(const std::string& line, int number) {
    const parsed_line parsed = parseSessionLine(line, number);
    return parsed.action && parsed.action->isExpectation();
}

}  // namespace

void session_recorder::created(const std::vector<std::string>& sent) {
    m_created.clear();
    for (const std::string& command : sent) m_created.push_back(kExpect + command);
}

void session_recorder::played(const session_action& action, const std::vector<std::string>& sent,
                              const std::optional<std::string>& answer) {
    m_played.emplace_back(action, outcomeLines(action, sent, answer));
}

std::vector<std::string> session_recorder::outcomeLines(const session_action& action,
                                                        const std::vector<std::string>& sent,
                                                        const std::optional<std::string>& answer) {
    std::vector<std::string> lines;
    for (const std::string& command : sent) lines.push_back(kExpect + command);
    if (action.kind == action_kind::request) {
        lines.push_back(answer ? kAnswer + *answer : kAnswerNull);
    } else if (sent.empty() && action.kind != action_kind::show) {
        lines.push_back(kExpectNothing);
    }
    return lines;
}

std::vector<std::string> session_recorder::lines() const {
    std::vector<std::string> all = m_created;
    for (const auto& [action, outcome] : m_played) {
        all.push_back(action.source);
        all.insert(all.end(), outcome.begin(), outcome.end());
    }
    return all;
}

std::vector<std::string> session_recorder::updated(const std::vector<std::string>& original) const {
    std::map<int, const std::vector<std::string>*> outcomeAtLine;
    for (const auto& [action, outcome] : m_played) outcomeAtLine[action.line] = &outcome;
    std::vector<std::string> out;
    bool createdWritten = false;
    for (size_t i = 0; i < original.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string& line = original[i];
        if (isExpectation(line, number)) {
            // The creation's lines take the place of the expectations that stood before any action.
            if (!createdWritten && m_played.size() && number < m_played.front().first.line) {
                out.insert(out.end(), m_created.begin(), m_created.end());
                createdWritten = true;
            }
            continue;
        }
        const auto outcome = outcomeAtLine.find(number);
        if (outcome != outcomeAtLine.end() && !createdWritten) {
            out.insert(out.end(), m_created.begin(), m_created.end());
            createdWritten = true;
        }
        out.push_back(line);
        if (outcome != outcomeAtLine.end()) out.insert(out.end(), outcome->second->begin(), outcome->second->end());
    }
    if (!createdWritten) out.insert(out.end(), m_created.begin(), m_created.end());
    return out;
}

// A longest-common-subsequence walk: small sessions, so the table is small too.
std::string lineDiff(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    const size_t n = before.size(), m = after.size();
    std::vector<std::vector<unsigned>> common(n + 1, std::vector<unsigned>(m + 1, 0));
    for (size_t i = n; i-- > 0;) {
        for (size_t j = m; j-- > 0;) {
            common[i][j] =
                before[i] == after[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
        }
    }
    std::string diff;
    size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && before[i] == after[j]) {
            ++i, ++j;
        } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
            diff += "-" + before[i++] + "\n";
        } else {
            diff += "+" + after[j++] + "\n";
        }
    }
    return diff;
}

}  // namespace vorn_host
