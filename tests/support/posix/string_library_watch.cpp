// Linux: the string library allocates through the process's operator new, which the counting
// allocator replaces.
#include "string_library_watch.h"

bool watchStringLibraryAllocations() {
    return true;
}
