#include "host_call_guard.h"

#include <cstdio>

#include "debug_output.h"
#include "command_texts.h"

void traceFailedHostCall(const host_entry& entry, bool outOfMemory) noexcept {
    char text[96];
    const char* failure = outOfMemory ? kOutOfMemoryTrace : kFailureTrace;
    if (entry.hasCode) {
        std::snprintf(text, sizeof text, kFailedCallWithCodeTrace, failure, entry.name, entry.code);
    } else {
        std::snprintf(text, sizeof text, kFailedCallTrace, failure, entry.name);
    }
    platformDebugOutput(text);
}
