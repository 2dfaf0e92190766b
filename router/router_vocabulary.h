#pragma once
// The names of the Router panel and of what it says to the host.

// Panel and controls. Numbers travel as their decimal texts.
const int kRouterPanel = 1;
const int kTakeButton = 500;
const int kClearedSelection = 0;
const char kPanelFile[] = "p1.vorn_ui";
const char kSourceList[] = "Sources";
const char kDestinationList[] = "Destinations";

// Properties.
const char kTakeButtonColourProperty[] = "colour.background";
const char kTakeButtonColour[] = "#FF9934";
const char kSourceSelectionProperty[] = "index";
const char kDestinationSelectionProperty[] = "selected";
const char kDeviceProperty[] = "device";

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
