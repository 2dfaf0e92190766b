// The C++ runtime's one-time set-ups inside our Windows DLLs (runtime_once.cpp): each runs once,
// and one that throws has not happened, so the next caller runs it again.
#include <pthread.h>

#include <stdexcept>

#include <gtest/gtest.h>

extern "C" int __wrap_pthread_once(pthread_once_t* once, void (*setUp)(void));

namespace {

// A set-up has no argument: what it did is counted here, and it throws while told to.
int gRuns = 0;
int gThrowsLeft = 0;

void countedSetUp() {
    ++gRuns;
    if (gThrowsLeft > 0) {
        --gThrowsLeft;
        throw std::runtime_error("set-up failed");
    }
}

class RuntimeOnce : public testing::Test {
protected:
    void SetUp() override {
        gRuns = 0;
        gThrowsLeft = 0;
    }
    pthread_once_t once = PTHREAD_ONCE_INIT;
};

TEST_F(RuntimeOnce, RunsTheSetUpOnTheFirstCallOnly) {
    EXPECT_EQ(__wrap_pthread_once(&once, countedSetUp), 0);
    EXPECT_EQ(__wrap_pthread_once(&once, countedSetUp), 0);
    EXPECT_EQ(__wrap_pthread_once(&once, countedSetUp), 0);
    EXPECT_EQ(gRuns, 1);
}

TEST_F(RuntimeOnce, ASetUpThatThrowsReachesItsCallerAndRunsAgainOnTheNextCall) {
    gThrowsLeft = 2;
    EXPECT_THROW(__wrap_pthread_once(&once, countedSetUp), std::runtime_error);
    EXPECT_THROW(__wrap_pthread_once(&once, countedSetUp), std::runtime_error);
    EXPECT_EQ(gRuns, 2);
    EXPECT_EQ(__wrap_pthread_once(&once, countedSetUp), 0);
    EXPECT_EQ(gRuns, 3);
    // Done now: it is not run a fourth time.
    EXPECT_EQ(__wrap_pthread_once(&once, countedSetUp), 0);
    EXPECT_EQ(gRuns, 3);
}

TEST_F(RuntimeOnce, EachOnceFlagHasASetUpOfItsOwn) {
    pthread_once_t other = PTHREAD_ONCE_INIT;
    __wrap_pthread_once(&once, countedSetUp);
    __wrap_pthread_once(&other, countedSetUp);
    EXPECT_EQ(gRuns, 2);
}

}  // namespace
