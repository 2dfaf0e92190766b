#pragma once
// On Windows each check of `vorn-host validate` runs in a new vorn-host process,
// started again with the hidden options --run-check ID --outcome-file FILE. The child writes its
// outcome to the file; the parent limits its processor time (and, ten times over, its wall
// time), and names how it ended when it leaves no outcome: the exception code of a crash.
#include <string>
#include <vector>

#include "check_outcome.h"

namespace vorn_host {

#if defined(_WIN32)
// Starts this program with `arguments` (the first being what follows the program's own name),
// adds --outcome-file with a file of this process's own, and waits for the outcome written there.
// (POSIX systems fork and start the program again in isolated_run.cpp.)
check_outcome runCheckProcess(const std::vector<std::string>& arguments, unsigned timeLimitMs);
#endif

// In the check's process: an exception nothing handles ends the process at once with the
// exception's code, without the system's crash dialog. Elsewhere nothing is done.
void endOnUnhandledException();

}  // namespace vorn_host
