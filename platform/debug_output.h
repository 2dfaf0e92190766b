#pragma once

// Writes one trace text to the debugger output. On Windows the text goes to the debugger
// unchanged; elsewhere it goes to standard error followed by a line end, one trace a line.
void platformDebugOutput(const char* text);
