// One script called directly, as the checks call it: every call into the module, the release of
// an answer and the deletion among them, runs with the module's allocations watched, so that a
// check that fails them reaches each one.
#include <gtest/gtest.h>

#include <cstring>

#include "module_allocator.h"
#include "module_run.h"
#include "vorn_boundary_words.h"

using namespace vorn_host;

namespace {

// Answers every request with "a=1", and allocates once while it releases an answer and once while
// it is deleted, as a script whose clean-up keeps books would.
class bookkeeping_script final : public vorn_native_script {
public:
    explicit bookkeeping_script(vorn_host_command* host) : m_host(host) {}
    ~bookkeeping_script() {
        keepBooks();
        m_host->hostCommand("AS", kHostPerform);
    }
    char* callback(void* param, int code) override {
        if (code == kCodeParameterRequest) {
            char* answer = new char[4];
            std::memcpy(answer, "a=1", 4);
            return answer;
        }
        if (code == kCodeRelease) {
            keepBooks();
            delete[] static_cast<char*>(param);
        }
        return nullptr;
    }

private:
    // One allocation, which the compiler may not take away.
    static void keepBooks() {
        int* volatile entry = new int(0);
        delete entry;
    }

    vorn_host_command* m_host;
};

vorn_client_callback* bookkeepingScript(vorn_host_command* host, const char*) {
    return new bookkeeping_script(host);
}

// The module's allocations made while `act` runs, as a failure sweep counts them: with a failure
// set far beyond them, so that none fails.
template <typename Act>
unsigned long armedAllocationsOf(Act act) {
    module_allocator::failAllocation(1000);
    act();
    const unsigned long counted = module_allocator::armedAllocations();
    module_allocator::failAllocation(0);
    return counted;
}

TEST(DirectScript, TheReleaseOfAnAnswerAndTheDeletionRunWithTheModulesAllocationsWatched) {
    module_setup setup;
    setup.factory = bookkeepingScript;
    direct_script script(setup, "");
    ASSERT_TRUE(script.created());
    script.holdAnswers(true);
    char request[] = "a=";
    EXPECT_EQ(armedAllocationsOf([&] { script.call("request", request, kCodeParameterRequest); }), 1u);
    EXPECT_EQ(armedAllocationsOf([&] { script.handBackAnswers(); }), 1u);
    EXPECT_EQ(armedAllocationsOf([&] { script.remove(); }), 1u);
    EXPECT_TRUE(script.clean()) << script.problems();
}

}  // namespace
