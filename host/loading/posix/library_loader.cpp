#include "library_loader.h"

#include <dlfcn.h>

#include "module_imports.h"

namespace vorn_host::library_loader {

// The module's own calls to the C allocation functions are pointed at the counting allocator;
// its calls to operator new reach the host's own, which counts, whatever it imports.
void* load(const std::string& path, std::string& error, bool& watched) {
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

void* find(void* handle, const char* name) {
    return dlsym(handle, name);
}

void unload(void* handle) {
    dlclose(handle);
}

}  // namespace vorn_host::library_loader
