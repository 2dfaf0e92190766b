// How a check runs apart on Windows: this program started again as a new process, which writes
// its outcome to a file; the parent limits the child's processor time (and, ten times over, its
// wall time) and names how it ended when it leaves no outcome: the exception code of a crash.
#include "isolated_run.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <windows.h>

#include "check_time_limit.h"
#include "file_times.h"

namespace vorn_host {

namespace {

const DWORD kPollMs = 20;

// One argument as the C runtime splits a command line: quoted, with the backslashes before a
// quote doubled.
std::string quotedArgument(const std::string& argument) {
    std::string quoted = "\"";
    unsigned backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

std::string ownProgram() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length);
}

std::uint64_t processorMs(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
    return std::chrono::duration_cast<std::chrono::milliseconds>(spentTime(kernel, user)).count();
}

const char* exceptionName(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
        return "access violation";
    case EXCEPTION_STACK_OVERFLOW:
        return "stack overflow";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        return "integer division by zero";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
        return "illegal instruction";
    case EXCEPTION_BREAKPOINT:
        return "breakpoint";
    case 0xC0000409:
        return "stack buffer overrun";
    default:
        return "exception";
    }
}

check_outcome howItEnded(DWORD exitCode) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(exitCode));
    if (exitCode >= 0xC0000000 || exitCode == EXCEPTION_BREAKPOINT) {
        return check_outcome::failed(std::string("the check's process ended on exception ") + code + " (" +
                                     exceptionName(exitCode) + ")");
    }
    if (exitCode == 3) return check_outcome::failed("the check's process was aborted (exit 3)");
    return check_outcome::failed("the check's process ended without a result (exit " + std::to_string(exitCode) + ")");
}

// A new empty file in the temporary folder, named by the system so that no other process
// writes it; empty when none can be made.
std::string newOutcomeFile() {
    char folder[MAX_PATH];
    char file[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "vhc", 0, file)) return "";
    return file;
}

// Starts the command line; 0, or the error of the last of a few tries. Under Wine's 32-bit mode
// starting a process now and then fails for a moment (error 1359) while many start at once;
// nothing has run then, so it is tried again after a pause.
DWORD startProcess(std::string commandLine, PROCESS_INFORMATION& process) {
    const int kTries = 5;
    const DWORD kPauseMs = 200;
    DWORD error = 0;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
            return 0;
        }
        error = GetLastError();
        Sleep(kPauseMs * static_cast<DWORD>(attempt));
    }
    return error;
}

LONG WINAPI endWithTheCode(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Starts this program with `arguments` (the first being what follows the program's own name),
// adds --outcome-file with a file of this process's own, and waits for the outcome written there.
check_outcome runCheckProcess(const std::vector<std::string>& arguments, unsigned timeLimitMs) {
    const std::string outcomeFile = newOutcomeFile();
    if (outcomeFile.empty()) return check_outcome::failed("cannot make a file for the check's outcome");
    std::string commandLine = quotedArgument(ownProgram());
    for (const std::string& argument : arguments) commandLine += " " + quotedArgument(argument);
    commandLine += " --outcome-file " + quotedArgument(outcomeFile);
    PROCESS_INFORMATION process{};
    const DWORD startError = startProcess(commandLine, process);
    if (startError != 0) {
        return check_outcome::failed("cannot start a process for the check (error " + std::to_string(startError) + ")");
    }
    CloseHandle(process.hThread);
    const std::uint64_t waitingMs = waitingLimitMs(timeLimitMs);
    std::uint64_t waitedMs = 0;
    std::string timedOut;
    while (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_TIMEOUT) {
        waitedMs += kPollMs;
        if (processorMs(process.hProcess) > timeLimitMs) {
            timedOut = usedTooMuchProcessorTime(timeLimitMs);
        } else if (waitedMs > waitingMs) {
            timedOut = stillWaiting(timeLimitMs);
        }
        if (!timedOut.empty()) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    std::ifstream file(outcomeFile, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    std::remove(outcomeFile.c_str());
    if (!timedOut.empty()) return check_outcome::failed(timedOut);
    if (text.empty()) return howItEnded(exitCode);
    return decodeOutcome(text);
}

}  // namespace

void endOnUnhandledException() {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endWithTheCode);
}

check_outcome runApart(const std::function<check_outcome()>&, const std::vector<std::string>& arguments,
                       unsigned timeLimitMs) {
    return runCheckProcess(arguments, timeLimitMs);
}

check_outcome runIsolated(const std::function<check_outcome()>& work, unsigned) {
    return runHere(work);
}

}  // namespace vorn_host
