// The whole module under any sequence of host calls: every code, control-event records with any
// texts or null pointers, requests of any text, timers, and a host that answers "PS", "TG" and
// "XI" with any text or null. The host checks ownership as it goes: each query reply handed back
// once, each code-3 answer handed back once and freed, nothing sent after "AS", and no command
// holding a line break, whatever the texts that it handed in held.
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "AlarmPanel.h"
#include "vorn_boundary_words.h"
#include "fuzz_input.h"
#include "event_record.h"
#include "vorn_module_export.h"

namespace {

const int kMaxCalls = 256;

void require(bool condition) {
    if (!condition) __builtin_trap();
}

struct host_reply_choice {
    bool null = true;
    std::string text;
};

class checking_host final : public vorn_host_command {
public:
    void hostReserved() override { require(false); }

    char* hostCommand(const char* text, int code) override {
        require(text != nullptr);
        if (code == kHostRelease) {
            takeBack(text);
            return nullptr;
        }
        require(code == kHostPerform);
        require(detaches == 0);
        // One command a line, whatever the texts the host handed in.
        require(std::strpbrk(text, "\r\n") == nullptr);
        const std::string command(text);
        if (command == "AS") ++detaches;
        if (command.rfind("PS '", 0) == 0) return panelReply.null ? nullptr : panelShown;
        if (command.rfind("TG '", 0) == 0) return give(textGetReply);
        if (command.rfind("XI '", 0) == 0) return give(controlIdReply);
        return nullptr;
    }

    // After the script is gone: "AS" once, and every reply back.
    void finish() {
        require(detaches == 1);
        for (const auto& reply : replies) require(reply == nullptr);
    }

    host_reply_choice panelReply, textGetReply, controlIdReply;

private:
    char* give(const host_reply_choice& choice) {
        if (choice.null) return nullptr;
        replies.emplace_back(new char[choice.text.size() + 1]);
        std::memcpy(replies.back().get(), choice.text.c_str(), choice.text.size() + 1);
        return replies.back().get();
    }

    void takeBack(const char* text) {
        for (auto& reply : replies) {
            if (reply.get() == text) {
                reply.reset();  // freed: any later read of it is caught by the sanitizer
                return;
            }
        }
        require(false);  // never given, or given back before
    }

    int detaches = 0;
    std::vector<std::unique_ptr<char[]>> replies;
    char panelShown[2] = "1";
};

void controlEvent(vorn_client_callback& script, fuzz_input& in) {
    const uint8_t nulls = in.byte();
    const std::string panel = in.text(), control = in.text(), eventText = in.text();
    if (nulls & 8) {
        script.callback(nullptr, kCodeControlEvent);
        return;
    }
    vorn_host::event_record event(panel, control, eventText);  // parsed as the host parses it
    host_control_event record = *event.record();
    record.hostReserved1 = in.integer();
    if (nulls & 1) record.panel = nullptr;
    if (nulls & 2) record.control = nullptr;
    if (nulls & 4) record.event = nullptr;
    require(script.callback(&record, kCodeControlEvent) == nullptr);
}

void chooseReplies(checking_host& host, fuzz_input& in) {
    host_reply_choice* choices[] = {&host.panelReply, &host.textGetReply, &host.controlIdReply};
    host_reply_choice& choice = *choices[in.byte() % 3];
    choice.null = in.byte() & 1;
    choice.text = in.text();
}

void play(vorn_client_callback& script, checking_host& host, fuzz_input& in) {
    std::deque<char*> answers;
    for (int call = 0; call < kMaxCalls && !in.done(); ++call) {
        switch (in.byte() % 8) {
        case 0:
            controlEvent(script, in);
            break;
        case 1: {
            const std::string request = in.text();
            char* answer = script.callback(const_cast<char*>(request.c_str()), kCodeParameterRequest);
            if (answer) {
                require(std::strlen(answer) > 0);
                answers.push_back(answer);
            }
            break;
        }
        case 2:
            if (!answers.empty()) {
                require(script.callback(answers.front(), kCodeRelease) == nullptr);
                answers.pop_front();
            }
            break;
        case 3:
            require(script.callback(vorn_param_carrying(in.integer()), kCodeTimer) == nullptr);
            break;
        case 4: {
            const int codes[] = {kCodeRecord, kCodeAuxRecord, kCodeWord};
            require(script.callback(vorn_param_carrying(in.integer()), codes[in.byte() % 3]) == nullptr);
            break;
        }
        case 5: {
            const int code = in.integer();
            if (code != kCodeControlEvent && code != kCodeParameterRequest && code != kCodeRelease) {
                require(script.callback(vorn_param_carrying(in.integer()), code) == nullptr);
            }
            break;
        }
        case 6:
            chooseReplies(host, in);
            break;
        default:
            require(script.callback(nullptr, kCodeRelease) == nullptr);
            break;
        }
    }
    for (char* answer : answers) script.callback(answer, kCodeRelease);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_input in(data, size);
    checking_host host;
    const uint8_t setup = in.byte();
    host.panelReply.null = setup & 2;
    const std::string path = in.text();
    vorn_client_callback* script = setup & 1 ? static_cast<vorn_client_callback*>(new AlarmPanel(&host, path.c_str()))
                                             : load_vorn_client_script(&host, path.c_str());
    require(script != nullptr);
    play(*script, host, in);
    vorn_delete_script(script);
    host.finish();
    return 0;
}
