#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

#include <gtest/gtest.h>

#include "debugger_output.h"
#include "host_event.h"
#include "vorn_boundary_words.h"
#include "recording_host.h"
#include "script_factory.h"
#include "test_script.h"

TEST(CallbackDispatch, EachCodeReachesItsHandlerAndReturnsNull) {
    recording_host host;
    test_script script(&host, "");
    int marker = 0;
    host_event event("1", "Sources", "value=7");

    EXPECT_EQ(script.callback(&marker, kCodeRecord), nullptr);
    EXPECT_EQ(script.callback(event.record(), kCodeControlEvent), nullptr);
    EXPECT_EQ(script.callback(vorn_param_carrying(7), kCodeTimer), nullptr);
    EXPECT_EQ(script.callback(&marker, kCodeAuxRecord), nullptr);
    EXPECT_EQ(script.callback(vorn_param_carrying(-3), kCodeWord), nullptr);

    EXPECT_EQ(script.records, std::vector<void*>{&marker});
    EXPECT_EQ(script.auxRecords, std::vector<void*>{&marker});
    EXPECT_EQ(script.timers, std::vector<int>{7});
    EXPECT_EQ(script.words, std::vector<int>{-3});
    ASSERT_EQ(script.controls.size(), 1u);
    EXPECT_EQ(script.controls[0], (test_script::control_seen{"1", "Sources", "value", "7"}));
    EXPECT_TRUE(host.commands.empty());
}

TEST(CallbackDispatch, UnknownCodesCallNoHandler) {
    recording_host host;
    test_script script(&host, "");
    for (int code : {0, 8, -1, 1000}) EXPECT_EQ(script.callback(vorn_param_carrying(1), code), nullptr);
    EXPECT_TRUE(script.records.empty() && script.timers.empty() && script.words.empty());
    EXPECT_TRUE(script.controls.empty() && script.requests.empty() && script.auxRecords.empty());
}

TEST(CallbackDispatch, RequestIsParsedAndAnEmptyAnswerReturnsNull) {
    recording_host host;
    test_script script(&host, "");
    EXPECT_EQ(script.callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest), nullptr);
    EXPECT_EQ(script.callback(nullptr, kCodeParameterRequest), nullptr);
    EXPECT_EQ(script.requests, (std::vector<std::string>{"RouterDeviceNo|12", "|"}));
}

TEST(CallbackDispatch, AnswerIsAModuleOwnedCopyFreedWhenHandedBack) {
    recording_host host;
    test_script script(&host, "");
    script.answer = std::string(300, 'a');
    char* first = script.callback(const_cast<char*>("x"), kCodeParameterRequest);
    script.answer = "short";
    char* second = script.callback(const_cast<char*>("x"), kCodeParameterRequest);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(std::strlen(first), 300u);
    EXPECT_STREQ(second, "short");
    EXPECT_NE(first, second);
    // Handing back frees them; the memory checker run reports any that stay.
    EXPECT_EQ(script.callback(first, kCodeRelease), nullptr);
    EXPECT_EQ(script.callback(second, kCodeRelease), nullptr);
    EXPECT_EQ(script.callback(nullptr, kCodeRelease), nullptr);
}

TEST(CallbackDispatch, BadControlEventRecordsAreReadSafely) {
    recording_host host;
    test_script script(&host, "");
    EXPECT_EQ(script.callback(nullptr, kCodeControlEvent), nullptr);
    EXPECT_TRUE(script.controls.empty());

    host_control_event empty{0, 0, nullptr, nullptr, nullptr};
    script.callback(&empty, kCodeControlEvent);
    ASSERT_EQ(script.controls.size(), 1u);
    EXPECT_EQ(script.controls[0], (test_script::control_seen{"", "", "", ""}));
}

TEST(CallbackDispatch, TimerAndWordTakeAnyPointerValue) {
    recording_host host;
    test_script script(&host, "");
    script.callback(vorn_param_carrying(INT32_MIN), kCodeTimer);
    script.callback(vorn_param_carrying(-1), kCodeWord);
    EXPECT_EQ(script.timers, std::vector<int>{INT32_MIN});
    EXPECT_EQ(script.words, std::vector<int>{-1});
}

TEST(CallbackDispatch, WithoutAlarmHandlingAlarmControlsReachTheScript) {
    recording_host host;
    test_script script(&host, "");
    host_event actionAll("1", "ActionAll", "alarm=2");
    host_event ackAll("2", "AckAll", "press");
    script.callback(actionAll.record(), kCodeControlEvent);
    script.callback(ackAll.record(), kCodeControlEvent);
    EXPECT_EQ(script.controls.size(), 2u);
    EXPECT_TRUE(host.commands.empty());
}

TEST(ScriptLifecycle, DeletingSendsAsLastAndNothingWithoutAHost) {
    recording_host host;
    {
        test_script script(&host, "panels");
        script.timerStop(1);
    }
    EXPECT_EQ(host.commands, (std::vector<std::string>{"ET 1", "AS"}));
    EXPECT_TRUE(host.handedBack.empty());
    EXPECT_EQ(host.reservedCalls, 0);

    // Without a host the script still works for its handlers, and sends and traces nothing.
    captureDebugOutput();
    test_script* orphan = new test_script(nullptr, nullptr);
    orphan->textPut("a", "b", "1", "2");
    EXPECT_EQ(orphan->callback(vorn_param_carrying(5), kCodeTimer), nullptr);
    EXPECT_EQ(orphan->timers, std::vector<int>{5});
    vorn_delete_script(orphan);
    EXPECT_EQ(capturedDebugOutput(), "");
}

TEST(HostCallGuard, AFailedCallbackReturnsNullIsTracedAndTheScriptGoesOn) {
    recording_host host;
    test_script script(&host, "");
    script.answer = "kept";
    char* earlier = script.callback(const_cast<char*>("x"), kCodeParameterRequest);
    ASSERT_STREQ(earlier, "kept");

    host_event event("1", "Sources", "value=7");
    captureDebugOutput();
    script.beforeEachHandler = [] { throw std::bad_alloc(); };
    EXPECT_EQ(script.callback(const_cast<char*>("y"), kCodeParameterRequest), nullptr);
    EXPECT_EQ(script.callback(event.record(), kCodeControlEvent), nullptr);
    script.beforeEachHandler = [] { throw std::runtime_error("any"); };
    EXPECT_EQ(script.callback(vorn_param_carrying(3), kCodeTimer), nullptr);
    script.beforeEachHandler = [] { throw 42; };
    EXPECT_EQ(script.callback(vorn_param_carrying(3), kCodeWord), nullptr);
    EXPECT_EQ(capturedDebugOutput(),
              "out of memory in callback code 3\nout of memory in callback code 2\n"
              "failure in callback code 4\nfailure in callback code 7\n");

    // The answer given before the failures is intact and still released with code 5.
    EXPECT_STREQ(earlier, "kept");
    EXPECT_EQ(script.callback(earlier, kCodeRelease), nullptr);
    script.beforeEachHandler = [] {};
    script.answer = "again";
    char* later = script.callback(const_cast<char*>("z"), kCodeParameterRequest);
    EXPECT_STREQ(later, "again");
    script.callback(later, kCodeRelease);
}

namespace {

// A script that shows its panel and then fails in its own construction.
struct failing_construction : test_script {
    failing_construction(vorn_host_command* host, const char* path) : test_script(host, path) {
        panelShow("1", "f", "");
        throw std::bad_alloc();
    }
};

}  // namespace

TEST(HostCallGuard, AFailedConstructionGivesNullAfterAsAndIsTraced) {
    recording_host host;
    captureDebugOutput();
    EXPECT_EQ(createScript<failing_construction>(&host, ""), nullptr);
    EXPECT_EQ(capturedDebugOutput(), "out of memory in load_vorn_client_script\n");
    EXPECT_EQ(host.commands, (std::vector<std::string>{"PS '1' 'f'", "AS"}));

    vorn_client_callback* made = createScript<test_script>(&host, "");
    ASSERT_NE(made, nullptr);
    vorn_delete_script(made);
    EXPECT_EQ(host.commands.back(), "AS");
}
