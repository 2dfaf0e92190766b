#pragma once
// What the script base writes to the debugger output, caught for a test to read: each trace as
// its text followed by a line end, in the order written.
//
//   captureDebugOutput();
//   script.callback(...);
//   EXPECT_EQ(capturedDebugOutput(), "out of memory in callback code 3\n");
//
// Linux: the traces go to standard error, which is caught. Windows: they go to
// OutputDebugStringA, whose texts are caught as a debugger catches them, so nothing reaches the
// real debugger channel meanwhile. One capture at a time, on the test's thread.
#include <string>

// Starts catching the traces.
void captureDebugOutput();
// Stops catching them, and returns what was caught since captureDebugOutput.
std::string capturedDebugOutput();
