#pragma once
// Runs a piece of work in a child process with a time limit, so that a module that crashes or
// hangs ends only that piece: the parent reads the child's outcome, or names how it ended.
// The limit is processor time, so a loaded machine does not fail a check; a check that waits
// without computing ends after ten times the limit of wall-clock time.
#include <functional>
#include <string>
#include <vector>

#include "check_outcome.h"

namespace vorn_host {

// Where child processes exist (POSIX), `work` runs in one; elsewhere it runs in this process,
// and a crash ends the whole run.
check_outcome runIsolated(const std::function<check_outcome()>& work, unsigned timeLimitMs);

// Whether runIsolated gives the work a process of its own here.
#if defined(_WIN32)
inline constexpr bool kWorkRunsApart = false;
#else
inline constexpr bool kWorkRunsApart = true;
#endif

// Runs `work` in a process of its own on every system: forked where fork exists, else in this
// program started again with `arguments`, which must do the same work there.
check_outcome runApart(const std::function<check_outcome()>& work, const std::vector<std::string>& arguments,
                       unsigned timeLimitMs);

}  // namespace vorn_host
