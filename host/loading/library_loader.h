#pragma once
// The platform's loader as module_library uses it: dlopen on POSIX systems, LoadLibrary on
// Windows, one side each, chosen when building. Each loads a module as a real host does and
// points the module's allocation imports at the counting allocator (module_imports).
#include <string>

namespace vorn_host::library_loader {

// The loaded module's handle, or null with the loader's reason in `error`. `watched` says whether
// the module's allocations reach the counting allocator.
void* load(const std::string& path, std::string& error, bool& watched);
// The exported symbol `name`, or null.
void* find(void* handle, const char* name);
// Gives the module back to the loader; the handle is not used again.
void unload(void* handle);

}  // namespace vorn_host::library_loader
