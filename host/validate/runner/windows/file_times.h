#pragma once
// The processor time in a thread's or process's kernel and user times, which Windows counts in
// ticks of 100 ns.
#include <chrono>

#include <windows.h>

namespace vorn_host {

inline std::chrono::microseconds spentTime(const FILETIME& kernel, const FILETIME& user) {
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return std::chrono::microseconds((ticks(kernel) + ticks(user)) / 10);
}

}  // namespace vorn_host
