// Runs N rounds of one kind of callback through the module or through its strict floor, for an
// instruction count under callgrind: only the function named after the side and the case is
// counted (--toggle-collect=SIDE_CASE). A round of each case:
//   take     two picks and the take button (code 2, three times)
//   request  RouterDeviceNo=12, which sends two commands and answers nothing (code 3)
//   answer   return=all, answered, and the answer handed back (codes 3 and 5)
//   timer    timer 5, which stops itself (code 4)
//   ignored  a record, an auxiliary record and a word, which Router does nothing with (1, 6, 7)
// The formatted floor, every command built with snprintf, is there for take and request.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../tests/support/host_event.h"
#include "bench_host.h"
#include "floor.h"
#include "vorn_boundary_words.h"
#include "vorn_module_export.h"

namespace {

struct take_events {
    host_event source{"1", "Sources", "value=7"};
    host_event destination{"1", "Destinations", "value=3"};
    host_event take{"1", "500", "value=1"};
};

const char kDeviceRequest[] = "RouterDeviceNo=12";
const char kAnswerRequest[] = "return=all";
const int kTimer = 5;
int gRecord = 0;

// What the answers handed back held, so that the module's and the floor's are compared.
unsigned long gAnswerBytes = 0;

}  // namespace

__attribute__((noinline)) void module_take(vorn_client_callback& script, take_events& e, int n) {
    for (int i = 0; i < n; ++i) {
        script.callback(e.source.record(), kCodeControlEvent);
        script.callback(e.destination.record(), kCodeControlEvent);
        script.callback(e.take.record(), kCodeControlEvent);
    }
}
__attribute__((noinline)) void strict_take(strict_floor_router& router, take_events& e, int n) {
    for (int i = 0; i < n; ++i) {
        router.event(*e.source.record());
        router.event(*e.destination.record());
        router.event(*e.take.record());
    }
}
__attribute__((noinline)) void formatted_take(vorn_host_command& host, int n) {
    for (int i = 0; i < n; ++i) formattedFloorTake(host, 12, 7, 3);
}

__attribute__((noinline)) void module_request(vorn_client_callback& script, int n) {
    for (int i = 0; i < n; ++i) script.callback(const_cast<char*>(kDeviceRequest), kCodeParameterRequest);
}
__attribute__((noinline)) void strict_request(strict_floor_router& router, int n) {
    for (int i = 0; i < n; ++i) router.request(kDeviceRequest);
}
__attribute__((noinline)) void formatted_request(vorn_host_command& host, int n) {
    for (int i = 0; i < n; ++i) formattedFloorDeviceRequest(host, 12);
}

__attribute__((noinline)) void module_answer(vorn_client_callback& script, int n) {
    for (int i = 0; i < n; ++i) {
        char* answer = script.callback(const_cast<char*>(kAnswerRequest), kCodeParameterRequest);
        gAnswerBytes += std::strlen(answer);
        script.callback(answer, kCodeRelease);
    }
}
__attribute__((noinline)) void strict_answer(strict_floor_router& router, int n) {
    for (int i = 0; i < n; ++i) {
        char* answer = router.answer(kAnswerRequest);
        gAnswerBytes += std::strlen(answer);
        strict_floor_router::release(answer);
    }
}

__attribute__((noinline)) void module_timer(vorn_client_callback& script, int n) {
    for (int i = 0; i < n; ++i) script.callback(vorn_param_carrying(kTimer), kCodeTimer);
}
__attribute__((noinline)) void strict_timer(strict_floor_router& router, int n) {
    for (int i = 0; i < n; ++i) router.timer(kTimer);
}

__attribute__((noinline)) void module_ignored(vorn_client_callback& script, int n) {
    for (int i = 0; i < n; ++i) {
        script.callback(&gRecord, kCodeRecord);
        script.callback(&gRecord, kCodeAuxRecord);
        script.callback(vorn_param_carrying(3), kCodeWord);
    }
}
// The floor is called as the host calls the module, through a pointer, so that the calls stay.
__attribute__((noinline)) void strict_ignored(int n) {
    char* (*volatile floor)(void*, int) = &strict_floor_router::ignored;
    for (int i = 0; i < n; ++i) {
        floor(&gRecord, kCodeRecord);
        floor(&gRecord, kCodeAuxRecord);
        floor(vorn_param_carrying(3), kCodeWord);
    }
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: take_cost take|request|answer|timer|ignored module|strict|formatted N\n");
        return 2;
    }
    const std::string kind = argv[1];
    const std::string side = argv[2];
    const int n = std::atoi(argv[3]);
    bench_host host;
    take_events events;
    vorn_client_callback* script = load_vorn_client_script(&host, "");
    script->callback(const_cast<char*>(kDeviceRequest), kCodeParameterRequest);
    strict_floor_router router(host);
    router.request(kDeviceRequest);
    const unsigned long before = host.bytes;
    bool ran = true;
    if (side == "module") {
        if (kind == "take")
            module_take(*script, events, n);
        else if (kind == "request")
            module_request(*script, n);
        else if (kind == "answer")
            module_answer(*script, n);
        else if (kind == "timer")
            module_timer(*script, n);
        else if (kind == "ignored")
            module_ignored(*script, n);
        else
            ran = false;
    } else if (side == "strict") {
        if (kind == "take")
            strict_take(router, events, n);
        else if (kind == "request")
            strict_request(router, n);
        else if (kind == "answer")
            strict_answer(router, n);
        else if (kind == "timer")
            strict_timer(router, n);
        else if (kind == "ignored")
            strict_ignored(n);
        else
            ran = false;
    } else if (side == "formatted") {
        if (kind == "take")
            formatted_take(host, n);
        else if (kind == "request")
            formatted_request(host, n);
        else
            ran = false;
    } else {
        ran = false;
    }
    if (!ran) {
        std::fprintf(stderr, "take_cost: no %s side for %s\n", side.c_str(), kind.c_str());
        return 2;
    }
    std::printf("%lu bytes sent, %lu answered\n", host.bytes - before, gAnswerBytes);
    vorn_delete_script(script);
    return 0;
}
