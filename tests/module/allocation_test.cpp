// The operator-interface path makes no heap allocation for short texts: a take, a request
// that answers nothing, and a timer. Counted by replacing the process's allocation functions,
// which the module and the string library use too.
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "module_allocator.h"
#include "vorn_boundary_words.h"
#include "host_event.h"
#include "vorn_module_export.h"
#include "vorn_string.h"

namespace {

// A host that keeps the last command in place, so that the count is the module's alone.
class quiet_host : public vorn_host_command {
public:
    void hostReserved() override {}
    char* hostCommand(const char* text, int code) override {
        if (code == kHostPerform) {
            ++commands;
            std::strncpy(last, text, sizeof last - 1);
        }
        return nullptr;
    }
    unsigned commands = 0;
    char last[128] = {};
};

class AllocationCount : public ::testing::Test {
protected:
    void SetUp() override {
        script = load_vorn_client_script(&host, "");
        request("RouterDeviceNo=12");
    }
    void TearDown() override { vorn_delete_script(script); }

    char* request(const char* text) { return script->callback(const_cast<char*>(text), kCodeParameterRequest); }
    void event(host_event& e) { script->callback(e.record(), kCodeControlEvent); }

    // Allocations made while `action` runs.
    template <typename Action>
    unsigned long allocationsOf(Action action) {
        const unsigned long before = vorn_host::module_allocator::allocations();
        action();
        return vorn_host::module_allocator::allocations() - before;
    }

    quiet_host host;
    vorn_client_callback* script = nullptr;
};

}  // namespace

TEST_F(AllocationCount, TakeWithItsTwoPicksAllocatesNothing) {
    host_event source("1", "Sources", "value=7");
    host_event destination("1", "Destinations", "value=3");
    host_event take("1", "500", "value=1");
    const unsigned before = host.commands;
    EXPECT_EQ(allocationsOf([&] {
                  event(source);
                  event(destination);
                  event(take);
              }),
              0u);
    EXPECT_EQ(host.commands - before, 3u);
    EXPECT_STREQ(host.last, "TP 'selected=0' '1' 'Destinations'");
}

TEST_F(AllocationCount, RequestAllocatesOnlyTheAnswerItHandsOver) {
    EXPECT_EQ(allocationsOf([&] { EXPECT_EQ(request("RouterDeviceNo=12"), nullptr); }), 0u);
    char* answer = nullptr;
    EXPECT_EQ(allocationsOf([&] { answer = request("return=all"); }), 1u);
    EXPECT_STREQ(answer, "RouterDeviceNo=12");
    EXPECT_EQ(allocationsOf([&] { script->callback(answer, kCodeRelease); }), 0u);
}

TEST_F(AllocationCount, TimerAllocatesNothing) {
    EXPECT_EQ(allocationsOf([&] { script->callback(vorn_param_carrying(7), kCodeTimer); }), 0u);
    EXPECT_STREQ(host.last, "ET 7");
}

TEST(AllocationCounter, SeesTheStringLibrarysLongTexts) {
    const unsigned long before = vorn_host::module_allocator::allocations();
    vorn_string longText(std::string(200, 'x').c_str());
    EXPECT_GT(vorn_host::module_allocator::allocations(), before);
}
