#pragma once
// The Router panel: pick a source and a destination, press take, and the host connects them
// on the router device.
#include <cstdint>
#include <optional>

#include "vorn_script_helper.h"

class Router : public vorn_script_helper {
public:
    // Shows the panel and colours the take button.
    Router(vorn_host_command* host, const char* path);
    ~Router() override;

protected:
    void controlCallback(control_event& event) override;
    int recordCallback(host_record& record) override;
    vorn_string parameterCallback(parameter_request& request) override;
    void timerCallback(int id) override;

private:
    void take();
    vorn_string answerReturn(const vorn_string& what) const;
    void setDevice(int device);
    vorn_string deviceText() const;
    static vorn_string oneLineAnswer(const vorn_string& line);

    vorn_string instanceName;
    // Each stays unset until the host or the operator gives it: a take needs all three.
    std::optional<int32_t> deviceNumber;
    std::optional<int32_t> selectedSource;
    std::optional<int32_t> selectedDestination;
};
