#include "contract_rules.h"

namespace vorn_host {

const std::vector<contract_rule>& contractRules() {
    static const std::vector<contract_rule> rules = {
        {kRuleCommandAfterDetach, "a command after the script sent AS", rule_severity::error},
        {kRuleDetachMissing, "the script was deleted without sending AS", rule_severity::error},
        {kRuleDetachTwice, "AS sent a second time", rule_severity::error},
        {kRuleNotOneLine, "a command holding a CR or LF, which the host would read as two", rule_severity::error},
        {kRuleUnbalancedQuotes, "a command whose quotes do not pair up", rule_severity::error},
        {kRuleUnknownCommand, "a command word the host does not know", rule_severity::error},
        {kRuleMalformedCommand, "a known command with the wrong fields", rule_severity::error},
        {kRuleReplyHandedBackTwice, "a query reply handed back twice", rule_severity::error},
        {kRuleReplyNeverHandedBack, "a query reply still held when the script was deleted", rule_severity::error},
        {kRuleUnknownHandBack, "a hand-back of a pointer that is no outstanding query reply", rule_severity::error},
        {kRuleAnswerReturnedTwice, "the same answer pointer returned while the host still held it",
         rule_severity::error},
        {kRuleAnswerNotModuleOwned, "an answer that is the host's own request text", rule_severity::error},
        {kRuleUnknownHostCode, "a call of the host object that script modules must not make", rule_severity::error},
        {kRuleNonNullReturn, "a non-null return from a callback code that returns null", rule_severity::error},
        {kRuleControlNotOnPanel, "a TP or TG to a control that the shown panel file does not list",
         rule_severity::warning},
        {kRuleFieldContainsApostrophe, "a field holding an apostrophe, which the host cannot tell from the field's end",
         rule_severity::warning},
        {kRuleSlowCallback, "a call into the module over the time limit (50 ms unless set)", rule_severity::warning},
        {kRuleRouterNak, "a router refused a route (NAK)", rule_severity::error},
        {kRuleRouterLocked, "a router refused a route to a locked destination", rule_severity::error},
        {kRuleRouterNoAck, "a router did not acknowledge a route in time", rule_severity::error},
        {kRuleRouteUnconfirmed, "a router acknowledged a route but never reported it in place", rule_severity::error},
        {kRuleRouteOutOfRange, "a route with a number that cannot go on the wire (0, or beyond the router's size)",
         rule_severity::error},
        {kRuleRouterConnectionLost, "a router closed the connection, or could not be connected to again, for a route",
         rule_severity::error},
        {kRuleRouterReplyTooLong, "a router sent a block beyond the size limit, and the link was closed",
         rule_severity::error},
    };
    return rules;
}

const char* severityName(rule_severity severity) {
    switch (severity) {
    case rule_severity::error:
        return "error";
    case rule_severity::warning:
        return "warning";
    default:
        return "ignore";
    }
}

rule_severity rule_settings::of(const std::string& rule) const {
    const auto set = m_set.find(rule);
    if (set != m_set.end()) return set->second;
    for (const contract_rule& r : contractRules()) {
        if (rule == r.id) return r.severity;
    }
    return rule_severity::error;
}

bool rule_settings::set(const std::string& assignment, std::string& error) {
    const size_t equals = assignment.find('=');
    const std::string id = assignment.substr(0, equals);
    const std::string severity = equals == std::string::npos ? "" : assignment.substr(equals + 1);
    bool known = false;
    for (const contract_rule& r : contractRules()) known = known || id == r.id;
    if (!known) {
        error = "no rule named " + id + " (vorn-host rules)";
        return false;
    }
    for (rule_severity s : {rule_severity::error, rule_severity::warning, rule_severity::ignore}) {
        if (severity == severityName(s)) {
            m_set[id] = s;
            return true;
        }
    }
    error = "--rule " + assignment + ": the severity is error, warning or ignore";
    return false;
}

}  // namespace vorn_host
