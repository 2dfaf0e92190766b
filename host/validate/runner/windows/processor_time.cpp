#include "processor_time.h"

#include <windows.h>

#include "file_times.h"

namespace vorn_host {

std::chrono::microseconds threadProcessorTime() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    return spentTime(kernel, user);
}

}  // namespace vorn_host
