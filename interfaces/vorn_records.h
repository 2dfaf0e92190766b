#pragma once
// Record layouts shared by the host and the script module.
#include <cstddef>
#include <cstdint>

const int kMaxMessageParts = 32;

// A text of the form command.part.part=value, split in place.
// The host builds these for control events; the module builds them for parameter requests.
// Whoever builds one owns `buffer` and releases it when the record goes; the text pointers
// point into `buffer`, or at one constant empty text of the builder's, never at null.
struct parsed_message {
    const char* command;                  // before the first '.' or '='; the whole text without either
    const char* parts[kMaxMessageParts];  // after each '.', in order
    const char* value;                    // after the first '='
    int32_t partCount;                    // parts filled, 0 to 32
    bool hasValue;                        // a '=' was found
    char* buffer;                         // the builder's copy of the text, or null
};

// A control event, as the host hands it in with callback code 2. Owned by the host and
// valid only during that call; the module reads it and keeps nothing.
struct host_control_event {
    int32_t hostReserved1;        // not read by the module
    int32_t hostReserved2;        // not read by the module
    const char* panel;            // panel identifier, e.g. "1"
    const char* control;          // control identifier, e.g. "500" or "Sources"
    const parsed_message* event;  // the event text parsed, e.g. command "alarm", value "1"
};

// Host and module must agree on these byte offsets: the 32-bit layout of the real target,
// and the same fields at natural alignment where both sides use 64-bit pointers.
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(parsed_message, command) == 0, "parsed_message layout");
static_assert(offsetof(parsed_message, parts) == 4, "parsed_message layout");
static_assert(offsetof(parsed_message, value) == 132, "parsed_message layout");
static_assert(offsetof(parsed_message, partCount) == 136, "parsed_message layout");
static_assert(offsetof(parsed_message, hasValue) == 140, "parsed_message layout");
static_assert(offsetof(parsed_message, buffer) == 144, "parsed_message layout");
static_assert(sizeof(parsed_message) == 148, "parsed_message layout");
static_assert(offsetof(host_control_event, panel) == 8, "control event layout");
static_assert(offsetof(host_control_event, control) == 12, "control event layout");
static_assert(offsetof(host_control_event, event) == 16, "control event layout");
#else
static_assert(offsetof(parsed_message, command) == 0, "parsed_message layout");
static_assert(offsetof(parsed_message, parts) == 8, "parsed_message layout");
static_assert(offsetof(parsed_message, value) == 264, "parsed_message layout");
static_assert(offsetof(parsed_message, partCount) == 272, "parsed_message layout");
static_assert(offsetof(parsed_message, hasValue) == 276, "parsed_message layout");
static_assert(offsetof(parsed_message, buffer) == 280, "parsed_message layout");
static_assert(sizeof(parsed_message) == 288, "parsed_message layout");
static_assert(offsetof(host_control_event, panel) == 8, "control event layout");
static_assert(offsetof(host_control_event, control) == 16, "control event layout");
static_assert(offsetof(host_control_event, event) == 24, "control event layout");
#endif
