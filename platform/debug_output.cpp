#include "debug_output.h"

#if defined(_WIN32)
#include <windows.h>

void platformDebugOutput(const char* text) {
    OutputDebugStringA(text);
}

#else
#include <cstdio>

void platformDebugOutput(const char* text) {
    std::fputs(text, stderr);
    std::fputc('\n', stderr);
}

#endif
