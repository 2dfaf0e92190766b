#pragma once
// A host command object for tests: records every command a script sends and every reply it
// hands back, and answers each command with a reply chosen by the test (null by default).
#include <functional>
#include <string>
#include <vector>

#include "vorn_host_command.h"

class recording_host : public vorn_host_command {
public:
    void hostReserved() override { ++reservedCalls; }

    char* hostCommand(const char* text, int code) override {
        if (code == kHostRelease) {
            handedBack.push_back(text);
            return nullptr;
        }
        commands.push_back(text);
        return reply ? reply(commands.back()) : nullptr;
    }

    // Each command the script sent with code 0, in order.
    std::vector<std::string> commands;
    // Each pointer the script handed back with code 5, in order.
    std::vector<const void*> handedBack;
    // Chooses the reply to a command; the texts it returns stay the test's.
    std::function<char*(const std::string&)> reply;
    int reservedCalls = 0;
};
