#include "isolated_run.h"

#include <string>

#include "check_process.h"
#include "check_time_limit.h"

#if !defined(_WIN32)
#  include <climits>
#  include <csignal>
#  include <cstdint>
#  include <cstring>
#  include <sys/time.h>
#  include <sys/wait.h>
#  include <unistd.h>
#endif

namespace vorn_host {

#if defined(_WIN32)

check_outcome runIsolated(const std::function<check_outcome()>& work, unsigned) {
    try {
        return work();
    } catch (const std::exception& e) {
        return check_outcome::failed(std::string("an exception reached the host: ") + e.what());
    } catch (...) {
        return check_outcome::failed("an exception reached the host");
    }
}

#else

namespace {

itimerval timerAfter(unsigned ms) {
    itimerval timer{};
    timer.it_value.tv_sec = ms / 1000;
    timer.it_value.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    return timer;
}

// The limit counts the processor time the check uses (SIGPROF), which a busy machine does not
// stretch; the wall clock (SIGALRM) only ends a check that waits far beyond it.
void limitTime(unsigned timeLimitMs) {
    const itimerval processor = timerAfter(timeLimitMs);
    setitimer(ITIMER_PROF, &processor, nullptr);
    const std::uint64_t waitingMs = waitingLimitMs(timeLimitMs);
    const itimerval wall = timerAfter(waitingMs > UINT_MAX ? UINT_MAX : static_cast<unsigned>(waitingMs));
    setitimer(ITIMER_REAL, &wall, nullptr);
}

// In the child: run the work, write its outcome to `out`, and end without running anything of
// the parent's (no atexit handlers, no buffered output written twice).
[[noreturn]] void runChild(const std::function<check_outcome()>& work, int out, unsigned timeLimitMs) {
    limitTime(timeLimitMs);
    check_outcome outcome;
    try {
        outcome = work();
    } catch (const std::exception& e) {
        outcome = check_outcome::failed(std::string("an exception reached the host: ") + e.what());
    } catch (...) {
        outcome = check_outcome::failed("an exception reached the host");
    }
    const std::string text = encodeOutcome(outcome);
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(out, text.data() + written, text.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    _exit(0);
}

std::string readAll(int in) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

check_outcome howItEnded(int status, const std::string& output, unsigned timeLimitMs) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGPROF) {
            return check_outcome::failed(usedTooMuchProcessorTime(timeLimitMs));
        }
        if (signal == SIGALRM) {
            return check_outcome::failed(stillWaiting(timeLimitMs));
        }
        return check_outcome::failed("the host process ended on signal " + std::to_string(signal) + " (" +
                                     strsignal(signal) + ")");
    }
    if (output.empty()) return check_outcome::failed("the host process ended without a result (exit " +
                                                     std::to_string(WEXITSTATUS(status)) + ")");
    return decodeOutcome(output);
}

}  // namespace

check_outcome runIsolated(const std::function<check_outcome()>& work, unsigned timeLimitMs) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return check_outcome::failed("cannot make a pipe for the check");
    const pid_t child = fork();
    if (child < 0) return check_outcome::failed("cannot start a process for the check");
    if (child == 0) {
        close(pipeEnds[0]);
        runChild(work, pipeEnds[1], timeLimitMs);
    }
    close(pipeEnds[1]);
    const std::string output = readAll(pipeEnds[0]);
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return howItEnded(status, output, timeLimitMs);
}

#endif

check_outcome runApart(const std::function<check_outcome()>& work, const std::vector<std::string>& arguments,
                       unsigned timeLimitMs) {
    if (kWorkRunsApart) return runIsolated(work, timeLimitMs);
    return runCheckProcess(arguments, timeLimitMs);
}

}  // namespace vorn_host
