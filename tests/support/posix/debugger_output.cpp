// Linux: the debugger output is standard error, one trace a line.
#include "debugger_output.h"

#include <gtest/gtest.h>

void captureDebugOutput() {
    testing::internal::CaptureStderr();
}

std::string capturedDebugOutput() {
    return testing::internal::GetCapturedStderr();
}
