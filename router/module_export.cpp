#include "vorn_module_export.h"

#include "Router.h"
#include "script_factory.h"

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char* path) {
    return createScript<Router>(host, path);
}
