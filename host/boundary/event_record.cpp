#include "event_record.h"

namespace vorn_host {

namespace {

const char kNoText[] = "";

}  // namespace

// The host's reading of "command.part.part=value": the command ends at the first '.' or '=',
// each '.' before the first '=' starts a part (32 at most; the last keeps the rest), and the
// value is everything after the first '='.
event_record::event_record(const std::string& panel, const std::string& control, const std::string& eventText)
    : m_panel(panel), m_control(control), m_text(eventText.begin(), eventText.end()) {
    m_text.push_back('\0');
    m_message.command = kNoText;
    for (const char*& part : m_message.parts) part = kNoText;
    m_message.value = kNoText;
    m_message.partCount = 0;
    m_message.hasValue = false;
    m_message.buffer = eventText.empty() ? nullptr : m_text.data();

    if (!eventText.empty()) {
        char* text = m_text.data();
        m_message.command = text;
        for (size_t i = 0; i < eventText.size() && m_message.partCount < kMaxMessageParts; ++i) {
            if (text[i] != '.' && text[i] != '=') continue;
            const bool isValue = text[i] == '=';
            text[i] = '\0';
            if (isValue) {
                m_message.hasValue = true;
                m_message.value = text + i + 1;
                break;
            }
            m_message.parts[m_message.partCount++] = text + i + 1;
        }
    }

    m_event.hostReserved1 = 0;
    m_event.hostReserved2 = 0;
    m_event.panel = m_panel.c_str();
    m_event.control = m_control.c_str();
    m_event.event = &m_message;
}

}  // namespace vorn_host
