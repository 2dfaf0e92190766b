// The alarm group: "ActionAll" and "AckAll" act on every "alm_" control of panel 1, ahead of
// the script's own handling of control events.
#include "alarm_group_texts.h"
#include "vorn_script_helper.h"

namespace {

// 4 for "ack"; the number of a one-character text; kNoLevel for anything else.
int alarmLevel(const vorn_string& value) {
    if (value == kAcknowledgeWord) return kAcknowledgeLevel;
    if (value.length() == 1) return value.toInt();
    return kNoLevel;
}

// Readings that an acknowledgement leaves alone: 0, and 2 to 5.
bool acknowledgementLeaves(int reading) {
    return reading == 0 || (reading >= 2 && reading <= 5);
}

}  // namespace

// True when the event belonged to the alarm group and has been handled here.
bool vorn_script_helper::alarmGroupHandles(control_event& event) {
    const vorn_string id = event.id();
    if (id == kActionAllControl && event.command() == kAlarmWord) {
        alarmAction(event.value());
        return true;
    }
    if (id == kAckAllControl) {
        alarmAction(decimalText(kAcknowledgeLevel));
        return true;
    }
    return false;
}

void vorn_script_helper::alarmAction(const vorn_string& value) {
    const int level = alarmLevel(value);
    const vorn_string panel = decimalText(kAlarmGroupPanel);
    const vorn_stringlist group = controlIdList(panel, kAlarmGroupFilter);
    for (const vorn_string& control : group) {
        textPut(kAlarmWord, value, panel, control);
        if (level == kAcknowledgeLevel) {
            acknowledgeAlarm(panel, control);
        } else if (level != kNoLevel) {
            textPut(kAlarmValueProperty, decimalText(level), panel, control);
        }
    }
}

// Sets the control's value to the acknowledged level unless its reading says it is already
// settled.
void vorn_script_helper::acknowledgeAlarm(const vorn_string& panel, const vorn_string& control) {
    vorn_string reading;
    textGet(kAlarmValueProperty, panel, control, reading);
    if (acknowledgementLeaves(reading.toInt())) return;
    textPut(kAlarmValueProperty, decimalText(kAcknowledgeLevel), panel, control);
}
