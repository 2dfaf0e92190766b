// Runs N rounds of one operation through the module or through one of its floors, for an
// instruction count under callgrind: only the function named after the side is counted
// (--toggle-collect). A take round is two picks and the take button; a request round is
// RouterDeviceNo=12.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../tests/support/host_event.h"
#include "bench_host.h"
#include "floor.h"
#include "vorn_module_export.h"

namespace {

struct take_events {
    host_event source{"1", "Sources", "value=7"};
    host_event destination{"1", "Destinations", "value=3"};
    host_event take{"1", "500", "value=1"};
};

const char kDeviceRequest[] = "RouterDeviceNo=12";

}  // namespace

__attribute__((noinline)) void moduleTakes(vorn_client_callback& script, take_events& e, int n) {
    for (int i = 0; i < n; ++i) {
        script.callback(e.source.record(), kCodeControlEvent);
        script.callback(e.destination.record(), kCodeControlEvent);
        script.callback(e.take.record(), kCodeControlEvent);
    }
}

__attribute__((noinline)) void strictTakes(strict_floor_router& router, take_events& e, int n) {
    for (int i = 0; i < n; ++i) {
        router.event(*e.source.record());
        router.event(*e.destination.record());
        router.event(*e.take.record());
    }
}

__attribute__((noinline)) void formattedTakes(vorn_host_command& host, int n) {
    for (int i = 0; i < n; ++i) formattedFloorTake(host, 12, 7, 3);
}

__attribute__((noinline)) void moduleRequests(vorn_client_callback& script, int n) {
    for (int i = 0; i < n; ++i) script.callback(const_cast<char*>(kDeviceRequest), kCodeParameterRequest);
}

__attribute__((noinline)) void strictRequests(strict_floor_router& router, int n) {
    for (int i = 0; i < n; ++i) router.request(kDeviceRequest);
}

__attribute__((noinline)) void formattedRequests(vorn_host_command& host, int n) {
    for (int i = 0; i < n; ++i) formattedFloorDeviceRequest(host, 12);
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: take_cost take|request module|strict|formatted N\n");
        return 2;
    }
    const bool take = !std::strcmp(argv[1], "take");
    const char* side = argv[2];
    const int n = std::atoi(argv[3]);
    bench_host host;
    take_events events;
    vorn_client_callback* script = load_vorn_client_script(&host, "");
    script->callback(const_cast<char*>(kDeviceRequest), kCodeParameterRequest);
    strict_floor_router router(host);
    router.request(kDeviceRequest);
    const unsigned long before = host.bytes;
    if (!std::strcmp(side, "module")) take ? moduleTakes(*script, events, n) : moduleRequests(*script, n);
    if (!std::strcmp(side, "strict")) take ? strictTakes(router, events, n) : strictRequests(router, n);
    if (!std::strcmp(side, "formatted")) take ? formattedTakes(host, n) : formattedRequests(host, n);
    std::printf("%lu bytes sent\n", host.bytes - before);
    vorn_delete_script(script);
    return 0;
}
