#pragma once
// What each side holds of the other's across the boundary, for one script object: the query
// replies that the host gave and the module has not handed back, the answers that the module
// gave and the host still holds, and whether the script has detached. This is the one place
// that raises the breaches of those rules.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vorn_host {

class ownership_ledger {
public:
    using breach_fn = std::function<void(const char* rule, const std::string& detail)>;
    explicit ownership_ledger(breach_fn breach) : m_breach(std::move(breach)) {}

    // The host gives `reply` to the module's query `command`; the module owes it back.
    char* giveReply(const std::string& reply, const std::string& command);
    // The module hands back `reply`: true when it was a reply the module owed. `hostOwned` is a
    // reply of the host's that is never to be handed back (the panel command's).
    bool takeBack(const char* reply, const char* hostOwned);

    // The module answered a request whose text was `requestText`: true when the host may hold
    // the answer and later hand it back.
    bool acceptAnswer(const char* answer, const char* requestText);
    // The answers held, to hand back before the script goes.
    std::vector<char*> takeHeldAnswers();

    // A command arriving: false, with the rule broken, when the script has detached already.
    bool acceptCommand(const std::string& line, bool isDetach);
    void detach() { m_detached = true; }
    // The script was deleted: it must have detached, and owe no reply.
    void scriptDeleted();

private:
    breach_fn m_breach;
    bool m_detached = false;
    // Replies owed, with the command that asked; replies handed back stay allocated until the
    // host goes, so that no address is given out twice.
    std::map<const char*, std::pair<std::unique_ptr<char[]>, std::string>> m_owed;
    std::map<const char*, std::unique_ptr<char[]>> m_returned;
    std::vector<char*> m_heldAnswers;
};

}  // namespace vorn_host
