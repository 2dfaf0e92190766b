#pragma once
// The fixed pieces of the command texts that scripts send to the host.

const char kPanelShowStart[] = "PS '";
const char kTextPutStart[] = "TP '";
// The free text is filled last, so that a placeholder inside it is never filled in turn.
const char kRouterConnectFormat[] = "RC %1 %2 %3 ',%5' %4";
const char kTimerStopFormat[] = "ET %d";
const char kHostDetach[] = "AS";

// Between two quoted fields, at the end of the last one, and before an optional extra field.
const char kFieldSeparator[] = "' '";
const char kFieldEnd[] = "'";
const char kExtraFieldStart[] = " '";
// Joins a property and its value inside one field, and the script's path and a file name.
const char kPropertyAssign[] = "=";
const char kPathSeparator[] = "/";
