// Writes one trace through the script base, so that a test can see where traces go: on Windows
// the debugger channel, elsewhere standard error.
#include "test_script.h"

int main() {
    query_script::debugTrace("trace probe: %1 %2", "reached", "the debugger", "", "", "", "", "", "", "");
    return 0;
}
