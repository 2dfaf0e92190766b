#pragma once
// A control event as this host builds it for a module: the event text parsed into the shared
// record layout. The host owns every text the record points to for the record's whole life.
#include <cstdint>
#include <string>
#include <vector>

#include "vorn_records.h"

namespace vorn_host {

class event_record {
public:
    event_record(const std::string& panel, const std::string& control, const std::string& eventText);
    event_record(const event_record&) = delete;
    event_record& operator=(const event_record&) = delete;

    host_control_event* record() { return &m_event; }

private:
    std::string m_panel;
    std::string m_control;
    std::vector<char> m_text;  // the event text, cut in place into its fields
    parsed_message m_message;
    host_control_event m_event;
};

}  // namespace vorn_host
