#pragma once
// Points a loaded module's own imports of the C allocation functions (malloc, calloc, realloc,
// free, their aligned forms, strdup and strndup) at the counting allocator, so that a block the
// module takes with malloc is seen like one it takes with new. Only the module's objects are
// changed: the module itself and the libraries that came with it, never the host's own.
//
// ELF systems: each new object's relocation entries are read, and every GOT slot that names one
// of those functions is rewritten, with write permission given for that moment when the slot
// lies in memory made read-only after relocation.
// Windows: each new module's import table is read, and every slot importing one of them from a
// C runtime DLL the host shares (msvcrt, the universal CRT) is rewritten the same way. A module
// with a static runtime imports none, and nothing of it can be watched.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorn_host::module_imports {

// The load addresses of the objects in the process now: taken before loading a module, to tell
// the module's objects from the host's afterwards.
std::vector<std::uintptr_t> loadedObjects();

// Rewrites the allocation imports of every object not in `before`. Returns the number of slots
// rewritten: 0 where the module imports none, or this platform has none to rewrite.
int watchAllocations(const std::vector<std::uintptr_t>& before);

// Runs `load` (which loads a module and says whether it did), then rewrites as above. On Windows
// each DLL the load brings is rewritten as the loader maps it, before its entry point runs, so
// that what the DLL and its runtime allocate while loading is watched too.
int watchAllocationsOfLoad(const std::vector<std::uintptr_t>& before, const std::function<bool()>& load);

// Whether the file at `path` is still mapped into the process as a loaded object: after its
// last unload, a module that stays (GNU unique symbols keep one) keeps its statics for the
// next load. False where this cannot be told.
bool isLoaded(const std::string& path);

}  // namespace vorn_host::module_imports
