// Built by host_parts.a_lower_part_cannot_include_a_higher_one: a file of the boundary part that
// includes the session part's driver. It must not compile: the boundary lies below the session,
// so the session's headers are not among those it can find.
#include "session_player.h"

int boundaryIncludesSession() {
    return 0;
}
