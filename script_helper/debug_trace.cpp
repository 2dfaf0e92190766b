// Traces to the debugger output.
#include "debug_output.h"
#include "filled_text.h"
#include "vorn_script_helper.h"

void vorn_script_helper::debugTrace(const vorn_string& format, const vorn_string& a1, const vorn_string& a2,
                                    const vorn_string& a3, const vorn_string& a4, const vorn_string& a5,
                                    const vorn_string& a6, const vorn_string& a7, const vorn_string& a8,
                                    const vorn_string& a9) {
    platformDebugOutput(filled_text(format, {a1, a2, a3, a4, a5, a6, a7, a8, a9}).text());
}
