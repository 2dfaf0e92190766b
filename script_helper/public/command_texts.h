#pragma once
// The command texts that scripts send to the host, as formats filled in one pass
// (filled_text.h), or when the module is compiled (fixed_command.h): "%N" is the sender's N-th
// field, inserted as it is. Each format numbers its placeholders from 1 without gaps, and begins
// with its command's word (vorn_boundary_words.h).
#include "vorn_boundary_words.h"

// "PS": panel, then the script's path and "/" when there is a path, file, then extra when it is
// not empty; each format numbers the fields it takes from 1.
constexpr char kPanelShowFormat[] = "PS '%1' '%2'";                       // panel, file
constexpr char kPanelShowWithPathFormat[] = "PS '%1' '%2/%3'";            // panel, path, file
constexpr char kPanelShowExtraFormat[] = "PS '%1' '%2' '%3'";             // panel, file, extra
constexpr char kPanelShowWithPathExtraFormat[] = "PS '%1' '%2/%3' '%4'";  // panel, path, file, extra
// "TP": property, value, panel, control.
constexpr char kTextPutFormat[] = "TP '%1=%2' '%3' '%4'";
// "RC": device, source, destination, extra, flag.
constexpr char kRouterConnectFormat[] = "RC %1 %2 %3 ',%4' %5";
// "ET": timer.
constexpr char kTimerStopFormat[] = "ET %1";
// Truth values as the host reads them, as in the flag of "RC".
const char kTruthText[] = "1";
const char kFalsehoodText[] = "0";
constexpr const char* kHostDetach = kHostDetachCommand.word;

// Queries, whose replies the script reads and hands back.
// "TG": panel, control, property.
constexpr char kTextGetFormat[] = "TG '%1' '%2' '%3'";
// "XI": panel, filter.
constexpr char kControlIdListFormat[] = "XI '%1' '%2'";
static_assert(beginsWithWord(kPanelShowFormat, kPanelShowCommand) &&
                  beginsWithWord(kPanelShowWithPathFormat, kPanelShowCommand) &&
                  beginsWithWord(kPanelShowExtraFormat, kPanelShowCommand) &&
                  beginsWithWord(kPanelShowWithPathExtraFormat, kPanelShowCommand) &&
                  beginsWithWord(kTextPutFormat, kTextPutCommand) &&
                  beginsWithWord(kRouterConnectFormat, kRouterConnectCommand) &&
                  beginsWithWord(kTimerStopFormat, kTimerStopCommand) &&
                  beginsWithWord(kTextGetFormat, kTextGetCommand) &&
                  beginsWithWord(kControlIdListFormat, kControlIdListCommand),
              "every command format begins with its command's word");
// The property that asks for every property of a control; its reply is passed on whole.
const char kAllProperties[] = "all";
// Divides a property's name from its value in a reply.
const char kPropertyAssign = '=';
const char kControlIdSeparator = ',';

// Traces.
const char kTextGetMismatchTrace[] =
    "textGet: value returned \"%1\" was not the value requested \"%2\" "
    "(value returned was \"%3\" from control \"%4\", on panel \"%5\")";
// A command whose fields hold a CR or LF: the host would read it as two commands.
const char kLineBreakTrace[] = "command not sent, a field holds a line break: %.*s";
// A host call that failed inside the module: "out of memory in callback code 3".
const char kOutOfMemoryTrace[] = "out of memory";
const char kFailureTrace[] = "failure";
const char kFailedCallTrace[] = "%s in %s";
const char kFailedCallWithCodeTrace[] = "%s in %s code %d";
