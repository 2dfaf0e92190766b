#pragma once
// A script module loaded with the platform's loader, as a real host loads it, and unloaded
// when this goes.
#include <memory>
#include <string>

#include "vorn_module_export.h"

namespace vorn_host {

class module_library {
public:
    // Null, with the reason in `error`, when the file does not load or has no factory.
    static std::unique_ptr<module_library> open(const std::string& path, std::string& error);
    ~module_library();
    module_library(const module_library&) = delete;
    module_library& operator=(const module_library&) = delete;

    load_vorn_client_script_fn factory() const { return m_factory; }
    // Whether the module's allocations reach the counting allocator (module_allocator): always
    // on Linux; on Windows when the module imports its C runtime's allocation functions.
    bool allocationsWatched() const { return m_allocationsWatched; }

private:
    module_library(void* handle, load_vorn_client_script_fn factory, bool allocationsWatched)
        : m_handle(handle), m_factory(factory), m_allocationsWatched(allocationsWatched) {}

    void* m_handle;
    load_vorn_client_script_fn m_factory;
    bool m_allocationsWatched;
};

}  // namespace vorn_host
