// Who the browser view lets in: each rule of the door, as a request that only that rule refuses.
#include <gtest/gtest.h>

#include "web_door.h"

using namespace vorn_host;

namespace {

const char kToken[] = "0123456789abcdef0123456789abcdef";

web_door loopbackDoor() {
    return {"127.0.0.1", 8080, kToken};
}

// A request the page itself would make: its Host, its Origin, its token.
web_request_view fromThePage(const char* method, const char* path) {
    return {method, path, "127.0.0.1:8080", "http://127.0.0.1:8080", kToken, 0};
}

}  // namespace

TEST(WebDoor, ThePagesOwnRequestsAreLetIn) {
    for (const auto& [method, path] :
         {std::pair{"GET", "/"}, {"GET", "/state"}, {"GET", "/events"}, {"POST", "/action"}, {"POST", "/quit"}}) {
        EXPECT_EQ(admit(loopbackDoor(), fromThePage(method, path)).status, 0) << method << " " << path;
    }
}

TEST(WebDoor, AHostThatDoesNotNameThisServerIsForbidden) {
    for (const char* host : {"evil.example:8080", "127.0.0.1:8081", "127.0.0.1", "", "192.168.1.2:8080"}) {
        web_request_view request = fromThePage("GET", "/state");
        request.host = host;
        EXPECT_EQ(admit(loopbackDoor(), request).status, 403) << host;
    }
    web_request_view byName = fromThePage("GET", "/state");
    byName.host = "localhost:8080";
    EXPECT_EQ(admit(loopbackDoor(), byName).status, 0);
    byName.host = "[::1]:8080";
    EXPECT_EQ(admit(loopbackDoor(), byName).status, 0);
}

TEST(WebDoor, OnlyAnActionFromThePagesOwnOriginChangesAnything) {
    for (const char* path : {"/action", "/quit"}) {
        web_request_view request = fromThePage("POST", path);
        request.origin = "http://evil.example";
        EXPECT_EQ(admit(loopbackDoor(), request).status, 403) << path;
        request.origin = "";
        EXPECT_EQ(admit(loopbackDoor(), request).status, 403) << path;
    }
    web_request_view read = fromThePage("GET", "/state");
    read.origin = "";
    EXPECT_EQ(admit(loopbackDoor(), read).status, 0);
}

TEST(WebDoor, EveryRequestButThePageOnLoopbackCarriesTheToken) {
    web_request_view request = fromThePage("GET", "/state");
    request.token = "";
    EXPECT_EQ(admit(loopbackDoor(), request).status, 403);
    EXPECT_EQ(admit(loopbackDoor(), request).reason, "no token");
    request.token = std::string(kToken).replace(31, 1, "0");
    EXPECT_EQ(admit(loopbackDoor(), request).reason, "a wrong token");
    request.token = std::string(kToken) + "0";
    EXPECT_EQ(admit(loopbackDoor(), request).status, 403);

    web_request_view page = fromThePage("GET", "/");
    page.token = "";
    EXPECT_EQ(admit(loopbackDoor(), page).status, 0);
    const web_door everywhere{"0.0.0.0", 8080, kToken};
    page.host = "rig.example:8080";
    EXPECT_EQ(admit(everywhere, page).status, 403);
    page.token = kToken;
    EXPECT_EQ(admit(everywhere, page).status, 0);
}

TEST(WebDoor, UnknownPathsAndMethodsAreNotServed) {
    EXPECT_EQ(admit(loopbackDoor(), fromThePage("GET", "/action")).status, 404);
    EXPECT_EQ(admit(loopbackDoor(), fromThePage("POST", "/state")).status, 404);
    EXPECT_EQ(admit(loopbackDoor(), fromThePage("DELETE", "/")).status, 404);
    EXPECT_EQ(admit(loopbackDoor(), fromThePage("GET", "/../etc/passwd")).status, 404);
}

TEST(WebDoor, AnActionIsOneLineOfAtMostItsLimit) {
    web_request_view big = fromThePage("POST", "/action");
    big.bodySize = kMaxActionBytes;
    EXPECT_EQ(admit(loopbackDoor(), big).status, 0);
    big.bodySize = kMaxActionBytes + 1;
    EXPECT_EQ(admit(loopbackDoor(), big).status, 413);

    EXPECT_EQ(admitAction(std::string(kMaxActionBytes, 'x')).status, 0);
    EXPECT_EQ(admitAction(std::string(kMaxActionBytes + 1, 'x')).status, 413);
    EXPECT_EQ(admitAction("event 1 Sources value=7\nevent 1 500 value=1").status, 400);
    EXPECT_EQ(admitAction("event 1 Sources value=7\r").status, 400);
}

TEST(WebDoor, AnAddressGivesItsPortOrTheDefaultAndAFreshToken) {
    std::string error;
    const auto given = doorFor("127.0.0.1:9000", "", error);
    ASSERT_TRUE(given);
    EXPECT_EQ(given->listenHost, "127.0.0.1");
    EXPECT_EQ(given->port, 9000);
    EXPECT_EQ(given->token.size(), 32u);
    const auto bare = doorFor("0.0.0.0", "", error);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->port, kWebPort);
    EXPECT_NE(bare->token, given->token);
    EXPECT_TRUE(isLoopbackHost("127.1.2.3") && isLoopbackHost("localhost") && !isLoopbackHost("128.0.0.1"));
    EXPECT_TRUE(isWildcardHost("::") && !isWildcardHost("127.0.0.1"));
}
