#pragma once
// A host command object for tests: records every command a script sends and every reply it
// hands back, and answers each command with a reply chosen by the test (none by default).
#include <deque>
#include <functional>
#include <optional>
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
        const std::optional<std::string> answer = reply ? reply(commands.back()) : std::nullopt;
        if (!answer) return nullptr;
        replyTexts.push_back(*answer);
        replies.push_back(replyTexts.back().data());
        return replies.back();
    }

    // Each command the script sent with code 0, in order.
    std::vector<std::string> commands;
    // Each reply given out, and each pointer the script handed back with code 5, in order.
    std::vector<char*> replies;
    std::vector<const void*> handedBack;
    // Chooses the reply to a command: a text, or nullopt for a null reply.
    std::function<std::optional<std::string>(const std::string&)> reply;
    int reservedCalls = 0;

    // Replies given out that were handed back exactly once, in the order given.
    bool everyReplyHandedBackOnce() const {
        return std::vector<const void*>(replies.begin(), replies.end()) == handedBack;
    }

private:
    std::deque<std::string> replyTexts;  // keeps every reply's characters in place
};
