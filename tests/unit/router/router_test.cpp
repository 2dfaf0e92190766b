// Router driven as a host drives it, created through the export and fed through callback, for
// what a session file cannot state: a null host or path, texts with blanks around the numbers,
// event records with null texts, answers held across calls, and instances told apart. What a
// session can state is in the sessions (tests/sessions/, sessions/).
#include <cstdint>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "host_event.h"
#include "vorn_boundary_words.h"
#include "vorn_module_export.h"
#include "recording_host.h"

namespace {

using commands = std::vector<std::string>;

const commands kTakeOf12_7_3 = {"RC 12 7 3 ',' 0", "TP 'index=0' '1' 'Sources'", "TP 'selected=0' '1' 'Destinations'"};

class RouterSession : public ::testing::Test {
protected:
    void SetUp() override { script = load_vorn_client_script(&host, ""); }
    void TearDown() override { vorn_delete_script(script); }

    void event(const char* panel, const char* control, const char* text) {
        host_event e(panel, control, text);
        EXPECT_EQ(script->callback(e.record(), kCodeControlEvent), nullptr);
    }

    // The answer to a request, handed back at once as a host does.
    std::string request(const char* text) {
        char* answer = script->callback(const_cast<char*>(text), kCodeParameterRequest);
        if (!answer) return "<null>";
        std::string copy = answer;
        script->callback(answer, kCodeRelease);
        return copy;
    }

    // What the script sent since the last call of sent().
    commands sent() {
        commands out(host.commands.begin() + static_cast<std::ptrdiff_t>(seen), host.commands.end());
        seen = host.commands.size();
        return out;
    }

    void pickRoute() {
        request("RouterDeviceNo=12");
        event("1", "Sources", "value=7");
        event("1", "Destinations", "value=3");
        sent();
    }

    recording_host host;
    vorn_client_callback* script = nullptr;
    size_t seen = 0;
};

}  // namespace

TEST(RouterPath, PanelFileIsFoundBelowTheScriptPath) {
    recording_host host;
    vorn_delete_script(load_vorn_client_script(&host, "/opt/panels"));
    vorn_delete_script(load_vorn_client_script(&host, nullptr));
    EXPECT_EQ(host.commands[0], "PS '1' '/opt/panels/p1.vorn_ui'");
    EXPECT_EQ(host.commands[3], "PS '1' 'p1.vorn_ui'");
}

// Blanks around a number are no number: the panel and the take button are not matched.
TEST_F(RouterSession, BlanksAroundThePanelOrTheTakeButtonNameNeither) {
    pickRoute();
    for (const char* panel : {" 1", "1 ", ""}) event(panel, "500", "");
    EXPECT_TRUE(sent().empty());
    for (const char* id : {" 500", "\t500"}) {
        event("1", id, "");
        EXPECT_EQ(sent(), kTakeOf12_7_3) << id;
    }
}

TEST_F(RouterSession, AnswersStayValidUntilHandedBack) {
    request("RouterDeviceNo=12");
    char* first = script->callback(const_cast<char*>("return=all"), kCodeParameterRequest);
    char* second = script->callback(const_cast<char*>("_events"), kCodeParameterRequest);
    event("1", "500", "");
    EXPECT_STREQ(first, "RouterDeviceNo=12");
    EXPECT_STREQ(second, "notify=*");
    script->callback(second, kCodeRelease);
    script->callback(first, kCodeRelease);
}

TEST_F(RouterSession, BadEventRecordsAreHarmless) {
    pickRoute();
    EXPECT_EQ(script->callback(nullptr, kCodeControlEvent), nullptr);
    host_control_event noTexts{0, 0, nullptr, nullptr, nullptr};
    script->callback(&noTexts, kCodeControlEvent);
    host_control_event noEvent{0, 0, "1", "Sources", nullptr};
    script->callback(&noEvent, kCodeControlEvent);
    EXPECT_TRUE(sent().empty());
    event("1", "500", "");
    EXPECT_EQ(sent()[0], "RC 12 0 3 ',' 0");
}

TEST(RouterWithoutHost, SendsNothingButStillTracksTheRoute) {
    vorn_client_callback* script = load_vorn_client_script(nullptr, "");
    ASSERT_NE(script, nullptr);
    script->callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest);
    host_event take("1", "500", "");
    script->callback(take.record(), kCodeControlEvent);
    char* answer = script->callback(const_cast<char*>("return=all"), kCodeParameterRequest);
    EXPECT_STREQ(answer, "RouterDeviceNo=12");
    script->callback(answer, kCodeRelease);
    vorn_delete_script(script);
}

TEST(RouterInstances, EachScriptKeepsItsOwnRoute) {
    recording_host first, second;
    // Deleted as a host deletes them, which on Windows is the native ABI's deleting destructor.
    using held_script = std::unique_ptr<vorn_client_callback, decltype(&vorn_delete_script)>;
    held_script a(load_vorn_client_script(&first, ""), vorn_delete_script);
    held_script b(load_vorn_client_script(&second, ""), vorn_delete_script);
    a->callback(const_cast<char*>("RouterDeviceNo=1"), kCodeParameterRequest);
    b->callback(const_cast<char*>("RouterDeviceNo=2"), kCodeParameterRequest);
    for (vorn_client_callback* s : {a.get(), b.get()}) {
        host_event src("1", "Sources", s == a.get() ? "v=10" : "v=20");
        host_event dst("1", "Destinations", "v=5");
        host_event take("1", "500", "");
        s->callback(src.record(), kCodeControlEvent);
        s->callback(dst.record(), kCodeControlEvent);
        s->callback(take.record(), kCodeControlEvent);
    }
    EXPECT_EQ(first.commands[4], "RC 1 10 5 ',' 0");
    EXPECT_EQ(second.commands[4], "RC 2 20 5 ',' 0");
}
