#pragma once
// The floor: the command texts of a take and of a device request, built by hand with snprintf
// into stack buffers and sent to the same host. No parsing, no dispatch, no string library.
#include <cstdio>

#include "vorn_host_command.h"

inline void floorTake(vorn_host_command& host, int device, int source, int destination) {
    char text[64];
    std::snprintf(text, sizeof text, "RC %d %d %d ',%s' %d", device, source, destination, "", 0);
    host.hostCommand(text, kHostPerform);
    std::snprintf(text, sizeof text, "TP '%s=%s' '%s' '%s'", "index", "0", "1", "Sources");
    host.hostCommand(text, kHostPerform);
    std::snprintf(text, sizeof text, "TP '%s=%s' '%s' '%s'", "selected", "0", "1", "Destinations");
    host.hostCommand(text, kHostPerform);
}

inline void floorDeviceRequest(vorn_host_command& host, int device) {
    char text[64];
    std::snprintf(text, sizeof text, "TP '%s=%d' '%s' '%s'", "device", device, "1", "Sources");
    host.hostCommand(text, kHostPerform);
    std::snprintf(text, sizeof text, "TP '%s=%d' '%s' '%s'", "device", device, "1", "Destinations");
    host.hostCommand(text, kHostPerform);
}
