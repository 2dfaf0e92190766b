#pragma once
// An alarm panel: the script base's alarm group handling does the work of "ActionAll" and
// "AckAll" over every "alm_" control; this script only shows the panel, echoes the last other
// control pressed into its status line, and stops its timers.
#include "vorn_script_helper.h"

class AlarmPanel : public vorn_script_helper {
public:
    AlarmPanel(vorn_host_command* host, const char* path);

protected:
    void controlCallback(control_event& event) override;
    int recordCallback(host_record& record) override;
    vorn_string parameterCallback(parameter_request& request) override;
    void timerCallback(int id) override;
};
