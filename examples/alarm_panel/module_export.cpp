#include <new>

#include "AlarmPanel.h"
#include "vorn_module_export.h"

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char* path) {
    return new (std::nothrow) AlarmPanel(host, path);
}
