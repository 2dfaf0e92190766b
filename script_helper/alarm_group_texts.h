#pragma once
// The controls, words and levels of the alarm group handling.

const char kActionAllControl[] = "ActionAll";
const char kAckAllControl[] = "AckAll";
// The command of an "ActionAll" event that sets the group, and the property that receives
// the raw value on every control of the group.
const char kAlarmWord[] = "alarm";
const char kAcknowledgeWord[] = "ack";
const char kAlarmValueProperty[] = "value";
const char kAlarmGroupFilter[] = "alm_";
const int kAlarmGroupPanel = 1;

const int kAcknowledgeLevel = 4;
const int kNoLevel = -1;
