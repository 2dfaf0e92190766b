#pragma once
// Two floors to measure the module against, both sending the same texts to the same host.
//
// The formatted floor builds every command with snprintf, each field through "%s", and is
// handed the picks: no parsing, no dispatch, no string library.
//
// The strict floor is the least a hand-written Router does for the same round: it reads the
// host's event records itself (the picks with atoi), sends fixed texts as literals, and formats
// only where a number goes in.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vorn_host_command.h"
#include "vorn_records.h"

inline void formattedFloorTake(vorn_host_command& host, int device, int source, int destination) {
    char text[64];
    std::snprintf(text, sizeof text, "RC %d %d %d ',%s' %d", device, source, destination, "", 0);
    host.hostCommand(text, kHostPerform);
    std::snprintf(text, sizeof text, "TP '%s=%s' '%s' '%s'", "index", "0", "1", "Sources");
    host.hostCommand(text, kHostPerform);
    std::snprintf(text, sizeof text, "TP '%s=%s' '%s' '%s'", "selected", "0", "1", "Destinations");
    host.hostCommand(text, kHostPerform);
}

inline void formattedFloorDeviceRequest(vorn_host_command& host, int device) {
    char text[64];
    std::snprintf(text, sizeof text, "TP '%s=%d' '%s' '%s'", "device", device, "1", "Sources");
    host.hostCommand(text, kHostPerform);
    std::snprintf(text, sizeof text, "TP '%s=%d' '%s' '%s'", "device", device, "1", "Destinations");
    host.hostCommand(text, kHostPerform);
}

class strict_floor_router {
public:
    explicit strict_floor_router(vorn_host_command& host) : m_host(host) {}

    void event(const host_control_event& e) {
        if (std::strcmp(e.panel, "1") != 0) return;
        if (std::strcmp(e.control, "500") == 0) {
            take();
        } else if (std::strcmp(e.control, "Sources") == 0) {
            m_source = std::atoi(e.event->value);
        } else if (std::strcmp(e.control, "Destinations") == 0) {
            m_destination = std::atoi(e.event->value);
        }
    }

    void request(const char* text) {
        const char* value = std::strchr(text, '=');
        if (!value || std::strncmp(text, "RouterDeviceNo", static_cast<size_t>(value - text)) != 0) return;
        m_device = std::atoi(value + 1);
        char line[64];
        std::snprintf(line, sizeof line, "TP 'device=%d' '1' 'Sources'", m_device);
        m_host.hostCommand(line, kHostPerform);
        std::snprintf(line, sizeof line, "TP 'device=%d' '1' 'Destinations'", m_device);
        m_host.hostCommand(line, kHostPerform);
    }

    // "return=all": the one parameter in an answer the module owns until the host hands it
    // back (release).
    char* answer(const char* text) {
        const char* value = std::strchr(text, '=');
        if (!value || std::strncmp(text, "return", static_cast<size_t>(value - text)) != 0) return nullptr;
        if (std::strcmp(value + 1, "all") != 0) return nullptr;
        char line[32];
        const int length = std::snprintf(line, sizeof line, "RouterDeviceNo=%d", m_device);
        char* copy = new char[static_cast<size_t>(length) + 1];
        std::memcpy(copy, line, static_cast<size_t>(length) + 1);
        return copy;
    }
    static void release(char* answer) { delete[] answer; }

    // A timer stops itself.
    void timer(int id) {
        char line[16];
        std::snprintf(line, sizeof line, "ET %d", id);
        m_host.hostCommand(line, kHostPerform);
    }

    // Records, auxiliary records and words: Router does nothing with them.
    static char* ignored(void*, int) { return nullptr; }

private:
    void take() {
        char line[64];
        std::snprintf(line, sizeof line, "RC %d %d %d ',' 0", m_device, m_source, m_destination);
        m_host.hostCommand(line, kHostPerform);
        m_host.hostCommand("TP 'index=0' '1' 'Sources'", kHostPerform);
        m_host.hostCommand("TP 'selected=0' '1' 'Destinations'", kHostPerform);
    }

    vorn_host_command& m_host;
    int m_device = 0, m_source = 0, m_destination = 0;
};
