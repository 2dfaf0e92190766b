// The table of boundary rules and the severities a user sets on it.
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "contract_rules.h"

using namespace vorn_host;

TEST(ContractRules, EachRuleHasOneIdAndADescription) {
    std::set<std::string> ids;
    for (const contract_rule& rule : contractRules()) {
        EXPECT_TRUE(ids.insert(rule.id).second) << rule.id << " twice";
        EXPECT_STRNE(rule.description, "") << rule.id;
    }
    for (const char* named : {kRuleCommandAfterDetach, kRuleMalformedCommand, kRuleSlowCallback, kRuleRouterNoAck,
                              kRuleFieldContainsApostrophe, kRuleRouterReplyTooLong}) {
        EXPECT_EQ(ids.count(named), 1u) << named << " is not in the table";
    }
}

TEST(ContractRules, ASettingChangesOnlyTheRuleItNames) {
    rule_settings settings;
    const rule_severity before = settings.of(kRuleSlowCallback);
    std::string error;
    ASSERT_TRUE(settings.set(std::string(kRuleMalformedCommand) + "=ignore", error)) << error;
    EXPECT_EQ(settings.of(kRuleMalformedCommand), rule_severity::ignore);
    EXPECT_EQ(settings.of(kRuleSlowCallback), before);
    ASSERT_TRUE(settings.set(std::string(kRuleMalformedCommand) + "=warning", error));
    EXPECT_EQ(settings.of(kRuleMalformedCommand), rule_severity::warning);
}

TEST(ContractRules, ASettingThatNamesNoRuleOrNoSeverityIsRefused) {
    rule_settings settings;
    std::string error;
    EXPECT_FALSE(settings.set("no-such-rule=error", error));
    EXPECT_NE(error, "");
    error.clear();
    EXPECT_FALSE(settings.set(std::string(kRuleMalformedCommand) + "=loud", error));
    EXPECT_NE(error, "");
    EXPECT_FALSE(settings.set(kRuleMalformedCommand, error));
    EXPECT_EQ(settings.of(kRuleMalformedCommand), rule_severity::error);
}
