#pragma once
// Runs a piece of work in a process of its own with a time limit, so that a module that crashes
// or hangs ends only that piece: the parent reads the work's outcome, or names how the process
// ended. The limit is processor time, so a loaded machine does not fail a check; a check that
// waits without computing ends after ten times the limit of wall-clock time (check_time_limit.h).
#include <functional>
#include <string>
#include <vector>

#include "check_outcome.h"

namespace vorn_host {

// Runs `work` in a process of its own: this program started again with `arguments`, which must
// do the same work there and write its outcome to the file named by the --outcome-file that is
// added. On POSIX systems the new process is forked first, and where this program cannot be
// started again (an emulator that runs only the program it was given), the forked process does
// the work itself.
check_outcome runApart(const std::function<check_outcome()>& work, const std::vector<std::string>& arguments,
                       unsigned timeLimitMs);

// Runs `work` in a forked process of its own (no new program): many short pieces, such as the
// plays of a random session cut down to its shortest failing part. Where there is no fork, it
// runs here, and a crash ends the whole run.
check_outcome runIsolated(const std::function<check_outcome()>& work, unsigned timeLimitMs);

// Runs `work` here, an exception that escapes it named as the outcome: what a check's own
// process does.
check_outcome runHere(const std::function<check_outcome()>& work);

// In a check's own process: an exception nothing handles ends the process at once with the
// exception's code, without the system's crash dialog (Windows). Elsewhere nothing is done.
void endOnUnhandledException();

}  // namespace vorn_host
