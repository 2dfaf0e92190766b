// Costs on the host's operator-interface thread, each beside its hand-written floor where one
// exists, and the growth of parsing, placeholder filling and the alarm group with their size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../tests/support/host_event.h"
#include "vorn_boundary_words.h"
#include "../tests/support/test_script.h"
#include "bench_host.h"
#include "floor.h"
#include "vorn_module_export.h"

namespace {

// Router with its device set, as it is between operator actions.
struct router_fixture {
    router_fixture() : script(load_vorn_client_script(&host, "")) {
        script->callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest);
    }
    ~router_fixture() { vorn_delete_script(script); }
    bench_host host;
    vorn_client_callback* script;
};

void Take(benchmark::State& state) {
    router_fixture router;
    host_event source("1", "Sources", "value=7");
    host_event destination("1", "Destinations", "value=3");
    host_event take("1", "500", "value=1");
    for (auto _ : state) {
        router.script->callback(source.record(), kCodeControlEvent);
        router.script->callback(destination.record(), kCodeControlEvent);
        router.script->callback(take.record(), kCodeControlEvent);
    }
}
BENCHMARK(Take);

void TakeStrictFloor(benchmark::State& state) {
    bench_host host;
    strict_floor_router router(host);
    router.request("RouterDeviceNo=12");
    host_event source("1", "Sources", "value=7");
    host_event destination("1", "Destinations", "value=3");
    host_event take("1", "500", "value=1");
    for (auto _ : state) {
        router.event(*source.record());
        router.event(*destination.record());
        router.event(*take.record());
    }
    benchmark::DoNotOptimize(host.bytes);
}
BENCHMARK(TakeStrictFloor);

void TakeFormattedFloor(benchmark::State& state) {
    bench_host host;
    for (auto _ : state) formattedFloorTake(host, 12, 7, 3);
    benchmark::DoNotOptimize(host.bytes);
}
BENCHMARK(TakeFormattedFloor);

void DeviceRequest(benchmark::State& state) {
    router_fixture router;
    for (auto _ : state) {
        router.script->callback(const_cast<char*>("RouterDeviceNo=12"), kCodeParameterRequest);
    }
}
BENCHMARK(DeviceRequest);

void DeviceRequestStrictFloor(benchmark::State& state) {
    bench_host host;
    strict_floor_router router(host);
    for (auto _ : state) router.request("RouterDeviceNo=12");
    benchmark::DoNotOptimize(host.bytes);
}
BENCHMARK(DeviceRequestStrictFloor);

void DeviceRequestFormattedFloor(benchmark::State& state) {
    bench_host host;
    for (auto _ : state) formattedFloorDeviceRequest(host, 12);
    benchmark::DoNotOptimize(host.bytes);
}
BENCHMARK(DeviceRequestFormattedFloor);

void RequestWithAnswerAndRelease(benchmark::State& state) {
    router_fixture router;
    for (auto _ : state) {
        char* answer = router.script->callback(const_cast<char*>("return=all"), kCodeParameterRequest);
        router.script->callback(answer, kCodeRelease);
    }
}
BENCHMARK(RequestWithAnswerAndRelease);

void TimerEvent(benchmark::State& state) {
    router_fixture router;
    for (auto _ : state) router.script->callback(vorn_param_carrying(7), kCodeTimer);
}
BENCHMARK(TimerEvent);

// A request text of the given length: a command, dotted parts, then a long value.
std::string requestText(size_t length) {
    std::string text = "command.part.part=";
    text.resize(length, 'v');
    return text;
}

void ParseRequest(benchmark::State& state) {
    const std::string text = requestText(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        owned_parsed_message message(text.c_str());
        benchmark::DoNotOptimize(message.record().value);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ParseRequest)->Arg(64)->Arg(4 << 10)->Arg(1 << 20)->Complexity(benchmark::oN);

void FillPlaceholders(benchmark::State& state) {
    std::string format = "%1 ";
    format.resize(static_cast<size_t>(state.range(0)), 'f');
    format += " %1 %2";
    const vorn_string pattern(format.c_str());
    const vorn_string value("value");
    for (auto _ : state) {
        vorn_string filled = pattern.arg(value);
        benchmark::DoNotOptimize(filled.length());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(FillPlaceholders)->Arg(64)->Arg(4 << 10)->Arg(1 << 20)->Complexity(benchmark::oN);

// A host whose panel 1 holds `count` alarm controls, each reading 1: every acknowledgement
// reads the value and puts 4. Replies are prepared once and never freed by the host.
class alarm_bench_host final : public vorn_host_command {
public:
    explicit alarm_bench_host(int count) {
        for (int i = 0; i < count; ++i) group += (i ? ",alm_" : "alm_") + std::to_string(i);
    }
    void hostReserved() override {}
    char* hostCommand(const char* text, int code) override {
        if (code != kHostPerform) return nullptr;
        if (text[0] == 'X') return group.data();
        if (text[0] == 'T' && text[1] == 'G') return reading.data();
        return nullptr;
    }
    std::string group;
    std::string reading = "value=1";
};

void AckAll(benchmark::State& state) {
    const int controls = static_cast<int>(state.range(0));
    alarm_bench_host host(controls);
    test_script script(&host, "");
    script.alarmHandling = true;
    host_event ack("1", "AckAll", "press=1");
    for (auto _ : state) script.callback(ack.record(), kCodeControlEvent);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * controls);
    state.SetComplexityN(controls);
}
BENCHMARK(AckAll)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
