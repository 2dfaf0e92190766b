#include "Router.h"

#include "router_vocabulary.h"

Router::Router(vorn_host_command* host, const char* path) : vorn_script_helper(host, path) {
    panelShow(kRouterPanelText, kPanelFile, "");
    textPut(kTakeButtonColourProperty, kTakeButtonColour, kRouterPanelText, decimal_number(kTakeButton));
}

Router::~Router() = default;

// The event's texts are only compared and read as numbers: they are read in place.
void Router::controlCallback(control_event& event) {
    if (!event.panelDenotes(kRouterPanel)) return;
    if (event.idNumber() == kTakeButton) {
        take();
    } else if (event.idEquals(kSourceList)) {
        selectedSource = event.valueNumber();
    } else if (event.idEquals(kDestinationList)) {
        selectedDestination = event.valueNumber();
    }
}

// Connects the picked source to the picked destination, then clears both lists' selection.
// Until the device and both picks are known there is no route to take, and nothing is sent.
void Router::take() {
    if (!deviceNumber || !selectedSource || !selectedDestination) return;
    routerConnect(*deviceNumber, *selectedSource, *selectedDestination, "", false);
    sendCommand(kClearSourceSelection);
    sendCommand(kClearDestinationSelection);
}

int Router::recordCallback(host_record&) {
    return 0;
}

// The request's texts are read in place; only an answer or a name to keep is copied.
vorn_string Router::parameterCallback(parameter_request& request) {
    if (request.commandEquals(kDeviceRequest)) {
        setDevice(request.valueNumber());
        return vorn_string();
    }
    if (request.commandEquals(kReturnRequest)) return answerReturn(request.value());
    if (request.commandEquals(kInstanceRequest)) {
        const vorn_string value = request.value();
        if (value != instanceName) instanceName = value;
        return vorn_string();
    }
    if (request.commandEquals(kEventsRequest)) return oneLineAnswer(kEventsAnswer);
    if (request.commandEquals(kCommandsRequest)) return oneLineAnswer(kCommandsAnswer);
    return vorn_string();
}

vorn_string Router::answerReturn(const vorn_string& what) const {
    if (what == kReturnAll) return oneLineAnswer(vorn_string(kAllParametersFormat).arg(deviceText()));
    if (what == kDeviceRequest) return vorn_string(kOneParameterFormat).arg(what).arg(deviceText());
    return vorn_string();
}

// Stores the device and tells both lists which device they show.
void Router::setDevice(int device) {
    deviceNumber = device;
    const decimal_number text(device);
    textPut(kDeviceProperty, text, kRouterPanelText, kSourceList);
    textPut(kDeviceProperty, text, kRouterPanelText, kDestinationList);
}

// The device in decimal; empty while the host has not set it.
vorn_string Router::deviceText() const {
    return deviceNumber ? decimalText(*deviceNumber) : vorn_string();
}

vorn_string Router::oneLineAnswer(const vorn_string& line) {
    vorn_stringlist lines;
    lines << line;
    return lines.toString(kAnswerLineSeparator);
}

void Router::timerCallback(int id) {
    timerStop(id);
}
