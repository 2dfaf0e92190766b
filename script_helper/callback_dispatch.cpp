// The host's one entry: each callback code goes to one handler.
#include "host_call_guard.h"
#include "vorn_boundary_words.h"
#include "vorn_script_helper.h"

#include <cstdint>
#include <cstring>

// Whatever a handler throws stays here: the host gets null for the call (see host_call_guard.h).
char* vorn_script_helper::callback(void* param, int code) {
    return guardHostCall<char*>(callbackEntry(code), nullptr, [&] { return dispatch(param, code); });
}

char* vorn_script_helper::dispatch(void* param, int code) {
    switch (code) {
    case kCodeRecord: {
        host_record record(param);
        recordCallback(record);
        return nullptr;
    }
    case kCodeControlEvent:
        dispatchControlEvent(static_cast<const host_control_event*>(param));
        return nullptr;
    case kCodeParameterRequest:
        return answerRequest(static_cast<const char*>(param));
    case kCodeTimer:
        timerCallback(vorn_number_in(param));
        return nullptr;
    case kCodeRelease:
        delete[] static_cast<char*>(param);
        return nullptr;
    case kCodeAuxRecord: {
        host_record record(param);
        auxRecordCallback(record);
        return nullptr;
    }
    case kCodeWord: {
        int word = vorn_number_in(param);
        wordCallback(word);
        return nullptr;
    }
    default:
        return nullptr;
    }
}

void vorn_script_helper::dispatchControlEvent(const host_control_event* record) {
    if (!record) return;
    control_event event(*record);
    if (alarmHandling && alarmGroupHandles(event)) return;
    controlCallback(event);
}

// Parses the request, asks the script, and hands a non-empty answer to the host as a copy
// that the host gives back with code 5.
char* vorn_script_helper::answerRequest(const char* text) {
    owned_parsed_message message(text);
    parameter_request request(message.record());
    const vorn_string answer = parameterCallback(request);
    if (answer.length() == 0) return nullptr;
    char* copy = new char[answer.length() + 1];
    std::memcpy(copy, static_cast<const char*>(answer), answer.length() + 1);
    return copy;
}
