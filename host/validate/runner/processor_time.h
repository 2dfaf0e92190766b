#pragma once
// The processor time the calling thread has used: what a call into the module costs, whatever
// else the machine is doing. One side for POSIX systems, one for Windows.
#include <chrono>

namespace vorn_host {

std::chrono::microseconds threadProcessorTime();

}  // namespace vorn_host
