#pragma once
// The rules of the host boundary that the simulator checks: one table, each rule with the short
// name it is reported by, what it means, and how much it weighs.
#include <map>
#include <string>
#include <vector>

namespace vorn_host {

// error: a breach, which fails the run; warning: reported, and the run stays clean; ignore:
// not reported.
enum class rule_severity { error, warning, ignore };

struct contract_rule {
    const char* id;
    const char* description;
    rule_severity severity;  // by default
};

const char kRuleCommandAfterDetach[] = "command-after-detach";
const char kRuleDetachMissing[] = "detach-missing";
const char kRuleDetachTwice[] = "detach-twice";
const char kRuleNotOneLine[] = "command-not-one-line";
const char kRuleUnbalancedQuotes[] = "unbalanced-quotes";
const char kRuleUnknownCommand[] = "unknown-command";
const char kRuleMalformedCommand[] = "malformed-command";
const char kRuleReplyHandedBackTwice[] = "reply-handed-back-twice";
const char kRuleReplyNeverHandedBack[] = "reply-never-handed-back";
const char kRuleUnknownHandBack[] = "unknown-hand-back";
const char kRuleAnswerReturnedTwice[] = "answer-returned-twice";
const char kRuleAnswerNotModuleOwned[] = "answer-not-module-owned";
const char kRuleUnknownHostCode[] = "unknown-host-code";
const char kRuleNonNullReturn[] = "non-null-return";
const char kRuleControlNotOnPanel[] = "control-not-on-panel";
const char kRuleFieldContainsApostrophe[] = "field-contains-apostrophe";
const char kRuleSlowCallback[] = "slow-callback";
// The host calls the module on its operator-interface thread: a call over this is slow.
const unsigned kSlowCallbackMs = 50;
const char kRuleRouterNak[] = "router-nak";
const char kRuleRouterLocked[] = "router-locked";
const char kRuleRouterNoAck[] = "router-no-ack";
const char kRuleRouteUnconfirmed[] = "route-unconfirmed";
const char kRuleRouteOutOfRange[] = "route-out-of-range";
const char kRuleRouterConnectionLost[] = "router-connection-lost";
const char kRuleRouterReplyTooLong[] = "router-reply-too-long";

const std::vector<contract_rule>& contractRules();
const char* severityName(rule_severity severity);

// The severities in force: the table's, with the ones a user set.
class rule_settings {
public:
    rule_severity of(const std::string& rule) const;
    // "ID=error|warning|ignore"; false, with the reason in `error`, when it names no rule or
    // no severity.
    bool set(const std::string& assignment, std::string& error);

private:
    std::map<std::string, rule_severity> m_set;
};

}  // namespace vorn_host
