// How a check runs apart on POSIX systems: in a forked process, which writes its outcome into a
// pipe; the parent limits the child's processor time (and, ten times over, its wall time) and
// names how it ended when it leaves no outcome: the signal of a crash.
#include "isolated_run.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#endif

#include "check_time_limit.h"

namespace vorn_host {

namespace {

itimerval timerAfter(unsigned ms) {
    itimerval timer{};
    timer.it_value.tv_sec = ms / 1000;
    timer.it_value.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    return timer;
}

// The limit counts the processor time the check uses (SIGPROF), which a busy machine does not
// stretch; the wall clock (SIGALRM) only ends a check that waits far beyond it. Both timers
// carry over into a program the process starts.
void limitTime(unsigned timeLimitMs) {
    const itimerval processor = timerAfter(timeLimitMs);
    setitimer(ITIMER_PROF, &processor, nullptr);
    const std::uint64_t waitingMs = waitingLimitMs(timeLimitMs);
    const itimerval wall = timerAfter(waitingMs > UINT_MAX ? UINT_MAX : static_cast<unsigned>(waitingMs));
    setitimer(ITIMER_REAL, &wall, nullptr);
}

// In the child: run the work, write its outcome to `out`, and end without running anything of
// the parent's (no atexit handlers, no buffered output written twice).
[[noreturn]] void reportWork(const std::function<check_outcome()>& work, int out) {
    const std::string text = encodeOutcome(runHere(work));
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(out, text.data() + written, text.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    _exit(0);
}

// This program's own file, as the loader found it; empty when it cannot be told.
std::string ownProgram() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : "";
}

// Whether this process runs under valgrind, which follows a fork but would leave a program
// started again to run unwatched.
bool underValgrind() {
#if defined(RUNNING_ON_VALGRIND)
    return RUNNING_ON_VALGRIND != 0;
#else
    return false;
#endif
}

// In the child: this program again, writing its outcome to `out`. Returns only when it cannot
// be started, or under valgrind.
void startAgain(const std::vector<std::string>& arguments, int out) {
    if (underValgrind()) return;
    const std::string program = ownProgram();
    if (program.empty()) return;
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    words.insert(words.end(), {"--outcome-file", "/dev/fd/" + std::to_string(out)});
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
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
        if (signal == SIGPROF) return check_outcome::failed(usedTooMuchProcessorTime(timeLimitMs));
        if (signal == SIGALRM) return check_outcome::failed(stillWaiting(timeLimitMs));
        return check_outcome::failed("the host process ended on signal " + std::to_string(signal) + " (" +
                                     strsignal(signal) + ")");
    }
    if (output.empty())
        return check_outcome::failed("the host process ended without a result (exit " +
                                     std::to_string(WEXITSTATUS(status)) + ")");
    return decodeOutcome(output);
}

// Forks a child that runs `child` with the write end of a pipe, within the time limit, and
// reads the outcome it writes there.
check_outcome runForked(const std::function<void(int out)>& child, unsigned timeLimitMs) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return check_outcome::failed("cannot make a pipe for the check");
    const pid_t forked = fork();
    if (forked < 0) return check_outcome::failed("cannot start a process for the check");
    if (forked == 0) {
        close(pipeEnds[0]);
        limitTime(timeLimitMs);
        child(pipeEnds[1]);
        _exit(1);
    }
    close(pipeEnds[1]);
    const std::string output = readAll(pipeEnds[0]);
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(forked, &status, 0) < 0 && errno == EINTR) {
    }
    return howItEnded(status, output, timeLimitMs);
}

}  // namespace

check_outcome runApart(const std::function<check_outcome()>& work, const std::vector<std::string>& arguments,
                       unsigned timeLimitMs) {
    return runForked(
        [&](int out) {
            startAgain(arguments, out);
            // Where this program cannot be started again, the forked process does the work.
            reportWork(work, out);
        },
        timeLimitMs);
}

check_outcome runIsolated(const std::function<check_outcome()>& work, unsigned timeLimitMs) {
    return runForked([&](int out) { reportWork(work, out); }, timeLimitMs);
}

// A POSIX system ends a crashed check's process with its signal, which the parent names.
void endOnUnhandledException() {}

}  // namespace vorn_host
