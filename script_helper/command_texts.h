#pragma once
// The fixed pieces of the command texts that scripts send to the host.

const char kPanelShowStart[] = "PS '";
const char kTextPutStart[] = "TP '";
// The free text is filled last, so that a placeholder inside it is never filled in turn.
const char kRouterConnectFormat[] = "RC %1 %2 %3 ',%5' %4";
const char kTimerStopFormat[] = "ET %d";
const char kHostDetach[] = "AS";

// Between two quoted fields, at the end of the last one, and before an optional extra field.
// A command's fields go in with appendQuotedField (command_fields.h).
const char kFieldSeparator[] = "' '";
const char kFieldEnd[] = "'";
const char kExtraFieldStart[] = " '";
// Joins a property and its value inside one field, and the script's path and a file name.
const char kPropertyAssign[] = "=";
const char kPathSeparator[] = "/";

// Queries, whose replies the script reads and hands back.
const char kTextGetStart[] = "TG '";
const char kControlIdListFormat[] = "XI '%1' '%2'";
// The property that asks for every property of a control; its reply is passed on whole.
const char kAllProperties[] = "all";
const char kTextGetMismatchTrace[] =
    "textGet: value returned \"%1\" was not the value requested \"%2\" "
    "(value returned was \"%3\" from control \"%4\", on panel \"%5\")";
const char kControlIdSeparator = ',';
