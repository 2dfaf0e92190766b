#pragma once
// The processor time the calling thread has used: what a call into the module costs, whatever
// else the machine is doing.
#include <chrono>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <time.h>
#endif

namespace vorn_host {

#if defined(_WIN32)
// The processor time in a thread's or process's kernel and user times, which Windows counts in
// ticks of 100 ns.
inline std::chrono::microseconds spentTime(const FILETIME& kernel, const FILETIME& user) {
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return std::chrono::microseconds((ticks(kernel) + ticks(user)) / 10);
}
#endif

inline std::chrono::microseconds threadProcessorTime() {
#if defined(_WIN32)
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    return spentTime(kernel, user);
#else
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::microseconds(now.tv_nsec / 1000);
#endif
}

}  // namespace vorn_host
