// Windows: vorn_string.dll's imports of the C allocation functions are rewritten, and no other
// object's.
#include "string_library_watch.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "module_imports.h"

bool watchStringLibraryAllocations() {
    const HMODULE library = GetModuleHandleA("vorn_string.dll");
    if (!library) return false;
    std::vector<std::uintptr_t> others = vorn_host::module_imports::loadedObjects();
    others.erase(std::remove(others.begin(), others.end(), reinterpret_cast<std::uintptr_t>(library)), others.end());
    return vorn_host::module_imports::watchAllocations(others) > 0;
}
