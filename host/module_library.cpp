#include "module_library.h"

#include "module_imports.h"

#if defined(_WIN32)
#  include <windows.h>

namespace {

// The module's imports of its C runtime's allocation functions are pointed at the counting
// allocator: a DLL's operator new allocates through them too. Without any (a static runtime),
// nothing of the module's memory is watched.
void* loadLibrary(const std::string& path, std::string& error, bool& watched) {
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

void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void unloadLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

}  // namespace

#else
#  include <dlfcn.h>

namespace {

// The module's own calls to the C allocation functions are pointed at the counting allocator;
// its calls to operator new reach the host's own, which counts, whatever it imports.
void* loadLibrary(const std::string& path, std::string& error, bool& watched) {
    // A path without a slash would make the loader search its own directories instead.
    const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    const auto hostObjects = module_imports::loadedObjects();
    void* handle = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = dlerror();
        return nullptr;
    }
    module_imports::watchAllocations(hostObjects);
    watched = true;
    return handle;
}

void* findSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

void unloadLibrary(void* handle) {
    dlclose(handle);
}

}  // namespace

#endif

namespace vorn_host {

std::unique_ptr<module_library> module_library::open(const std::string& path, std::string& error) {
    bool watched = false;
    void* handle = loadLibrary(path, error, watched);
    if (!handle) return nullptr;
    auto factory = reinterpret_cast<load_vorn_client_script_fn>(findSymbol(handle, kExportName));
    if (!factory) {
        error = std::string("no export named ") + kExportName;
        unloadLibrary(handle);
        return nullptr;
    }
    return std::unique_ptr<module_library>(new module_library(handle, factory, watched));
}

module_library::~module_library() {
    unloadLibrary(m_handle);
}

}  // namespace vorn_host
