#include "vorn_module_export.h"

#include <new>

#include "Router.h"

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char* path) {
    return new (std::nothrow) Router(host, path);
}
