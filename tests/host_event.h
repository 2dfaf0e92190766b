#pragma once
// A control event as a host hands it in: panel, control and the parsed event text.
#include <memory>

#include "message_records.h"

class host_event {
public:
    host_event(const char* panel, const char* control, const char* eventText)
        : m_message(eventText) {
        m_record.hostReserved1 = 0;
        m_record.hostReserved2 = 0;
        m_record.panel = panel;
        m_record.control = control;
        m_record.event = &m_message.record();
    }

    host_control_event* record() { return &m_record; }

private:
    owned_parsed_message m_message;
    host_control_event m_record;
};
