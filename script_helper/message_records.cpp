#include "message_records.h"

#include "text_reading.h"

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
    return vorn_string(eventValue());
}

const char* control_event::eventValue() const {
    return m_record->event ? m_record->event->value : nullptr;
}

bool control_event::panelDenotes(int number) const {
    return textDenotes(m_record->panel, number);
}

bool control_event::idEquals(const char* text) const {
    return textEquals(m_record->control, text);
}

int control_event::idNumber() const {
    return textNumber(m_record->control);
}

int control_event::valueNumber() const {
    return textNumber(eventValue());
}

vorn_string parameter_request::command() const {
    return vorn_string(m_message->command);
}

vorn_string parameter_request::value() const {
    return vorn_string(m_message->value);
}

bool parameter_request::commandEquals(const char* text) const {
    return textEquals(m_message->command, text);
}

int parameter_request::valueNumber() const {
    return textNumber(m_message->value);
}
