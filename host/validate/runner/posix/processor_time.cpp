#include "processor_time.h"

#include <time.h>

namespace vorn_host {

std::chrono::microseconds threadProcessorTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::microseconds(now.tv_nsec / 1000);
}

}  // namespace vorn_host
