#include "Router.h"

#include "router_vocabulary.h"

Router::Router(vorn_host_command* host, const char* path) : vorn_script_helper(host, path) {
    panelShow(decimalText(kRouterPanel), kPanelFile, vorn_string());
    textPut(kTakeButtonColourProperty, kTakeButtonColour, decimalText(kRouterPanel),
            decimalText(kTakeButton));
}

Router::~Router() = default;

// The event's texts are only compared and read as numbers: they are read in place.
void Router::controlCallback(control_event& event) {
    if (!event.panelDenotes(kRouterPanel)) return;
    if (event.idNumber() == kTakeButton) take();
    if (event.idEquals(kSourceList)) selectedSource = event.valueNumber();
    if (event.idEquals(kDestinationList)) selectedDestination = event.valueNumber();
}

// Connects the picked source to the picked destination, then clears both lists' selection.
// Until the device and both picks are known there is no route to take, and nothing is sent.
void Router::take() {
    if (!deviceNumber || !selectedSource || !selectedDestination) return;
    routerConnect(*deviceNumber, *selectedSource, *selectedDestination, vorn_string(), false);
    const vorn_string panel = decimalText(kRouterPanel);
    const vorn_string cleared = decimalText(kClearedSelection);
    textPut(kSourceSelectionProperty, cleared, panel, kSourceList);
    textPut(kDestinationSelectionProperty, cleared, panel, kDestinationList);
}

int Router::recordCallback(host_record&) {
    return 0;
}

vorn_string Router::parameterCallback(parameter_request& request) {
    const vorn_string command = request.command();
    const vorn_string value = request.value();
    if (command == kReturnRequest) return answerReturn(value);
    if (command == kInstanceRequest) {
        if (value != instanceName) instanceName = value;
        return vorn_string();
    }
    if (command == kDeviceRequest) {
        setDevice(static_cast<int>(value));
        return vorn_string();
    }
    if (command == kEventsRequest) return oneLineAnswer(kEventsAnswer);
    if (command == kCommandsRequest) return oneLineAnswer(kCommandsAnswer);
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
    const vorn_string panel = decimalText(kRouterPanel);
    textPut(kDeviceProperty, deviceText(), panel, kSourceList);
    textPut(kDeviceProperty, deviceText(), panel, kDestinationList);
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
