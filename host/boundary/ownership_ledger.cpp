#include "ownership_ledger.h"

#include <algorithm>
#include <cstring>

#include "contract_rules.h"

namespace vorn_host {

char* ownership_ledger::giveReply(const std::string& reply, const std::string& command) {
    std::unique_ptr<char[]> copy(new char[reply.size() + 1]);
    std::memcpy(copy.get(), reply.c_str(), reply.size() + 1);
    char* given = copy.get();
    m_owed[given] = {std::move(copy), command};
    return given;
}

bool ownership_ledger::takeBack(const char* reply, const char* hostOwned) {
    const auto owed = m_owed.find(reply);
    if (owed != m_owed.end()) {
        m_returned[reply] = std::move(owed->second.first);
        m_owed.erase(owed);
        return true;
    }
    if (m_returned.count(reply)) {
        m_breach(kRuleReplyHandedBackTwice, std::string("reply \"") + reply + "\"");
    } else {
        m_breach(kRuleUnknownHandBack, reply == hostOwned ? "the reply to a panel command, which stays the host's"
                                                          : "a pointer this host never gave out");
    }
    return false;
}

bool ownership_ledger::acceptAnswer(const char* answer, const char* requestText) {
    if (answer == requestText) {
        m_breach(kRuleAnswerNotModuleOwned, "the answer is the host's own request text");
        return false;
    }
    if (std::find(m_heldAnswers.begin(), m_heldAnswers.end(), answer) != m_heldAnswers.end()) {
        m_breach(kRuleAnswerReturnedTwice, std::string("answer \"") + answer + "\"");
        return false;
    }
    m_heldAnswers.push_back(const_cast<char*>(answer));
    return true;
}

std::vector<char*> ownership_ledger::takeHeldAnswers() {
    std::vector<char*> held;
    held.swap(m_heldAnswers);
    return held;
}

bool ownership_ledger::acceptCommand(const std::string& line, bool isDetach) {
    if (!m_detached) return true;
    m_breach(isDetach ? kRuleDetachTwice : kRuleCommandAfterDetach, line);
    return false;
}

void ownership_ledger::scriptDeleted() {
    if (!m_detached) m_breach(kRuleDetachMissing, "the script was deleted without sending AS");
    for (const auto& [reply, owed] : m_owed) {
        m_breach(kRuleReplyNeverHandedBack, "reply \"" + std::string(reply) + "\" to " + owed.second);
    }
}

}  // namespace vorn_host
