#include "message_records.h"

vorn_string control_event::panel() const {
    return vorn_string(m_record->panel);
}

vorn_string control_event::id() const {
    return vorn_string(m_record->control);
}

vorn_string control_event::command() const {
    return vorn_string(m_record->event ? m_record->event->command : nullptr);
}

vorn_string control_event::value() const {
    return vorn_string(m_record->event ? m_record->event->value : nullptr);
}

vorn_string parameter_request::command() const {
    return vorn_string(m_message->command);
}

vorn_string parameter_request::value() const {
    return vorn_string(m_message->value);
}
