#pragma once
// How long a check may run. The limit counts the processor time the check uses, which a busy
// machine does not stretch. A check that waits without computing (a module blocked on a lock,
// say) uses none: the wall clock ends it after ten times the limit.
#include <cstdint>
#include <string>

namespace vorn_host {

const unsigned kWaitingLimitFactor = 10;

inline std::uint64_t waitingLimitMs(unsigned timeLimitMs) {
    return std::uint64_t{timeLimitMs} * kWaitingLimitFactor;
}

// Why a check was ended, by which limit.
inline std::string usedTooMuchProcessorTime(unsigned timeLimitMs) {
    return "timed out: used more than " + std::to_string(timeLimitMs) + " ms of processor time";
}
inline std::string stillWaiting(unsigned timeLimitMs) {
    return "timed out: still waiting after " + std::to_string(waitingLimitMs(timeLimitMs)) + " ms";
}

}  // namespace vorn_host
