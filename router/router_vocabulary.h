#pragma once
// The names of the Router panel and of what it says to the host.
#include "fixed_command.h"
#include "text_view.h"

// Panel and controls. Numbers travel as their decimal texts; the panel's is also compared as a
// number.
constexpr char kRouterPanelText[] = "1";
constexpr int kRouterPanel = decimalValue(kRouterPanelText);
const int kTakeButton = 500;
constexpr char kClearedSelection[] = "0";
const char kPanelFile[] = "p1.vorn_ui";
constexpr char kSourceList[] = "Sources";
constexpr char kDestinationList[] = "Destinations";

// Properties.
const char kTakeButtonColourProperty[] = "colour.background";
const char kTakeButtonColour[] = "#FF9934";
constexpr char kSourceSelectionProperty[] = "index";
constexpr char kDestinationSelectionProperty[] = "selected";
const char kDeviceProperty[] = "device";

// What a take sends after the route: both lists' selections cleared, filled when the module is
// compiled.
constexpr auto kClearSourceSelection =
    fixedTextPut(kSourceSelectionProperty, kClearedSelection, kRouterPanelText, kSourceList);
constexpr auto kClearDestinationSelection =
    fixedTextPut(kDestinationSelectionProperty, kClearedSelection, kRouterPanelText, kDestinationList);

// Parameter requests and their answers.
const char kReturnRequest[] = "return";
const char kReturnAll[] = "all";
const char kInstanceRequest[] = "instance";
const char kDeviceRequest[] = "RouterDeviceNo";
const char kEventsRequest[] = "_events";
const char kCommandsRequest[] = "_commands";
const char kAllParametersFormat[] = "RouterDeviceNo=%1";
const char kOneParameterFormat[] = "%1=%2";
const char kEventsAnswer[] = "notify=*";
const char kCommandsAnswer[] = "myParam=[value]";
// Answers that hold several lines put one item on each.
const char kAnswerLineSeparator = '\n';
