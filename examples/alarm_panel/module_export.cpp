#include "AlarmPanel.h"
#include "script_factory.h"
#include "vorn_module_export.h"

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char* path) {
    return createScript<AlarmPanel>(host, path);
}
