// Traces to the debugger output.
#include "debug_output.h"
#include "vorn_script_helper.h"

void vorn_script_helper::debugTrace(const vorn_string& format, const vorn_string& a1,
                                    const vorn_string& a2, const vorn_string& a3,
                                    const vorn_string& a4, const vorn_string& a5,
                                    const vorn_string& a6, const vorn_string& a7,
                                    const vorn_string& a8, const vorn_string& a9) {
    const vorn_string message = format.arg(a1).arg(a2).arg(a3).arg(a4).arg(a5).arg(a6).arg(a7).arg(a8).arg(a9);
    platformDebugOutput(message);
}
