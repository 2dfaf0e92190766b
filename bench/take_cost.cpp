// Runs N takes (two picks and the take button) through the module, or N floor takes, for an
// instruction count under callgrind: only the function named moduleTakes or floorTakes is
// counted (--toggle-collect).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../tests/host_event.h"
#include "bench_host.h"
#include "floor.h"
#include "vorn_module_export.h"

__attribute__((noinline)) void moduleTakes(vorn_client_callback& script, int n) {
    host_event source("1", "Sources", "value=7");
    host_event destination("1", "Destinations", "value=3");
    host_event take("1", "500", "value=1");
    for (int i = 0; i < n; ++i) {
        script.callback(source.record(), kCodeControlEvent);
        script.callback(destination.record(), kCodeControlEvent);
        script.callback(take.record(), kCodeControlEvent);
    }
}

__attribute__((noinline)) void floorTakes(vorn_host_command& host, int n) {
    for (int i = 0; i < n; ++i) floorTake(host, 12, 7, 3);
}

__attribute__((noinline)) void moduleRequests(vorn_client_callback& script, int n) {
    for (int i = 0; i < n; ++i) script.callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest);
}

__attribute__((noinline)) void floorRequests(vorn_host_command& host, int n) {
    for (int i = 0; i < n; ++i) floorDeviceRequest(host, 12);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: take_cost module|floor|module-request|floor-request N\n");
        return 2;
    }
    const int n = std::atoi(argv[2]);
    bench_host host;
    vorn_client_callback* script = load_vorn_client_script(&host, "");
    script->callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest);
    if (!std::strcmp(argv[1], "module")) moduleTakes(*script, n);
    if (!std::strcmp(argv[1], "floor")) floorTakes(host, n);
    if (!std::strcmp(argv[1], "module-request")) moduleRequests(*script, n);
    if (!std::strcmp(argv[1], "floor-request")) floorRequests(host, n);
    vorn_delete_script(script);
    std::printf("%lu bytes sent\n", host.bytes);
    return 0;
}
