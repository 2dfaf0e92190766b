// Built by host_parts.a_part_includes_what_lies_below: a file of the boundary part includes
// headers of its own part and of what it uses, and compiles. It shows that the probe beside it
// fails for its include alone.
#include "contract_rules.h"
#include "event_record.h"
#include "vorn_boundary_words.h"

int boundaryUsesItsOwn() {
    return 0;
}
