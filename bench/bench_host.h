#pragma once
// A host for measurements: it takes each command as a real host would, by reading it once, and
// answers nothing, so that what is measured is the module.
#include <cstring>

#include "vorn_host_command.h"

class bench_host final : public vorn_host_command {
public:
    void hostReserved() override {}
    char* hostCommand(const char* text, int code) override {
        if (code == kHostPerform) bytes += std::strlen(text);
        return nullptr;
    }
    unsigned long bytes = 0;
};
