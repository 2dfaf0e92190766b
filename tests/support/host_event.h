#pragma once
// A control event as a host hands it in, built by the host simulator's own parser of event
// texts, never the module's: panel, control and the parsed event text.
#include "event_record.h"

class host_event : public vorn_host::event_record {
public:
    using vorn_host::event_record::event_record;
};
