#include "AlarmPanel.h"

namespace {

const int kPanel = 1;
const char kPanelFile[] = "alarm_panel.vorn_ui";
const char kStatusControl[] = "Status";
const char kStatusProperty[] = "text";
const char kEventsRequest[] = "_events";
const char kEventsAnswer[] = "notify=*";

}  // namespace

AlarmPanel::AlarmPanel(vorn_host_command* host, const char* path) : vorn_script_helper(host, path) {
    alarmHandling = true;
    panelShow(decimalText(kPanel), kPanelFile, vorn_string());
}

void AlarmPanel::controlCallback(control_event& event) {
    if (!(event.panel() == kPanel)) return;
    if (event.id() == kStatusControl) return;
    textPut(kStatusProperty, event.id(), decimalText(kPanel), kStatusControl);
}

int AlarmPanel::recordCallback(host_record&) {
    return 0;
}

vorn_string AlarmPanel::parameterCallback(parameter_request& request) {
    if (request.command() == kEventsRequest) return kEventsAnswer;
    return vorn_string();
}

void AlarmPanel::timerCallback(int id) {
    timerStop(id);
}
