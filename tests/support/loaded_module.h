#pragma once
// A script module opened by path as a host opens it, with its factory found by name.
#include <dlfcn.h>

#include <string>

#include "vorn_module_export.h"

class loaded_module {
public:
    explicit loaded_module(const char* path) : m_handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        if (!m_handle) {
            m_error = dlerror();
            return;
        }
        m_factory = reinterpret_cast<load_vorn_client_script_fn>(dlsym(m_handle, kExportName));
    }
    ~loaded_module() {
        if (m_handle) dlclose(m_handle);
    }
    loaded_module(const loaded_module&) = delete;
    loaded_module& operator=(const loaded_module&) = delete;

    void* handle() const { return m_handle; }
    const std::string& error() const { return m_error; }
    // Null when the module did not load or has no factory.
    load_vorn_client_script_fn factory() const { return m_factory; }

private:
    void* m_handle;
    load_vorn_client_script_fn m_factory = nullptr;
    std::string m_error;
};
