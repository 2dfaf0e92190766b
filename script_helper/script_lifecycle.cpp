// Creation and end of a script object, and the handlers the base provides.
#include "command_texts.h"
#include "vorn_script_helper.h"

vorn_script_helper::vorn_script_helper(vorn_host_command* host, const char* path)
    : hostLink(host), scriptPath(), alarmHandling(false) {
    scriptPath = path;
}

vorn_script_helper::~vorn_script_helper() {
    hostDetach();
}

void vorn_script_helper::hostDetach() {
    send(kHostDetach);
}

void vorn_script_helper::wordCallback(int&) {}

void vorn_script_helper::auxRecordCallback(host_record&) {}
