#include "library_loader.h"

#include <windows.h>

#include "module_imports.h"

namespace vorn_host::library_loader {

// The module's imports of its C runtime's allocation functions are pointed at the counting
// allocator: a DLL's operator new allocates through them too. Without any (a static runtime),
// nothing of the module's memory is watched.
void* load(const std::string& path, std::string& error, bool& watched) {
    const auto hostObjects = module_imports::loadedObjects();
    HMODULE handle = nullptr;
    DWORD failure = 0;
    const int rewritten = module_imports::watchAllocationsOfLoad(hostObjects, [&] {
        handle = LoadLibraryA(path.c_str());
        failure = GetLastError();
        return handle != nullptr;
    });
    if (!handle) {
        error = "LoadLibrary failed with error " + std::to_string(failure);
        return nullptr;
    }
    watched = rewritten > 0;
    return reinterpret_cast<void*>(handle);
}

void* find(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void unload(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

}  // namespace vorn_host::library_loader
