// Windows: OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the text's length and address, for
// a debugger to take. A vectored handler sees it first: it keeps the text and lets the program
// go on, as a debugger that took it would.
#include "debugger_output.h"

#include <windows.h>

namespace {

// The exception code that carries an OutputDebugStringA text.
const DWORD kDebugPrint = 0x40010006;

// The texts caught since captureDebugOutput, while its handler is in place.
std::string gCaught;
PVOID gHandler = nullptr;

LONG CALLBACK keepDebugText(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (record->ExceptionCode != kDebugPrint || record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    gCaught += reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    gCaught += '\n';
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void captureDebugOutput() {
    gCaught.clear();
    if (!gHandler) gHandler = AddVectoredExceptionHandler(1, keepDebugText);
}

std::string capturedDebugOutput() {
    if (gHandler) RemoveVectoredExceptionHandler(gHandler);
    gHandler = nullptr;
    std::string caught;
    caught.swap(gCaught);
    return caught;
}
