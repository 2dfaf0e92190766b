#pragma once
// Makes the string library's allocations count, and fail on demand, with the counting allocator
// (module_allocator.h), as a host's do for the modules it loads; true when they do.
//
// Linux: the process's operator new and malloc are the library's too: nothing to do. Windows:
// the DLL carries its own operator new over its C runtime's malloc, so its imports of the C
// allocation functions are pointed at the watched forms, and only its own (the test program's
// must stay the runtime's: the counting allocator allocates through them).
bool watchStringLibraryAllocations();
