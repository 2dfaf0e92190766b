#include "module_library.h"

#include "library_loader.h"

namespace vorn_host {

std::unique_ptr<module_library> module_library::open(const std::string& path, std::string& error) {
    bool watched = false;
    void* handle = library_loader::load(path, error, watched);
    if (!handle) return nullptr;
    auto factory = reinterpret_cast<load_vorn_client_script_fn>(library_loader::find(handle, kExportName));
    if (!factory) {
        error = std::string("no export named ") + kExportName;
        library_loader::unload(handle);
        return nullptr;
    }
    return std::unique_ptr<module_library>(new module_library(handle, factory, watched));
}

module_library::~module_library() {
    library_loader::unload(m_handle);
}

}  // namespace vorn_host
