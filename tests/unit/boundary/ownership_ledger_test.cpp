// The ownership ledger: which of a module's answers the host holds until it hands them back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ownership_ledger.h"

using namespace vorn_host;

namespace {

// An answer the host may not keep: its own request text handed back as the answer, or one it
// holds already. Each is a breach, and none is held to be handed back to the module later.
TEST(OwnershipLedger, AnswersThatAreNotTheModulesOwnAreNotHeld) {
    std::vector<std::string> breaches;
    ownership_ledger ledger([&](const char* rule, const std::string&) { breaches.push_back(rule); });
    char request[] = "RouterDeviceNo=12";
    char answer[] = "RouterDeviceNo=12";
    EXPECT_FALSE(ledger.acceptAnswer(request, request));
    EXPECT_TRUE(ledger.acceptAnswer(answer, request));
    EXPECT_FALSE(ledger.acceptAnswer(answer, request));
    EXPECT_EQ(breaches.size(), 2u);
    EXPECT_EQ(ledger.takeHeldAnswers(), std::vector<char*>{answer});
}

}  // namespace
