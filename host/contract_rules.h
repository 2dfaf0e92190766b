#pragma once
// The rules of the host boundary that the simulator checks, by the short names it reports.

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
