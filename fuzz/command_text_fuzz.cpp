// The command senders and queries with any field texts: each field goes out exactly as given,
// once, wherever it holds "%1" to "%9"; a command whose fields hold a CR or LF is not sent.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "../tests/support/test_script.h"
#include "fuzz_input.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

class last_command_host final : public vorn_host_command {
public:
    void hostReserved() override { require(false); }
    char* hostCommand(const char* text, int code) override {
        if (code == kHostPerform) commands.push_back(text);
        return nullptr;
    }
    std::vector<std::string> commands;
};

bool holdsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// What the sender must have sent: the expected line, or nothing when it holds a line break.
void requireSent(last_command_host& host, size_t before, const std::string& expected) {
    if (holdsLineBreak(expected)) {
        require(host.commands.size() == before);
        return;
    }
    require(host.commands.size() == before + 1);
    require(host.commands.back() == expected);
}

// Texts end at their first NUL, as the string library keeps them.
std::string cText(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_input in(data, size);
    const std::string path = cText(in.text());
    last_command_host host;
    query_script script(&host, path.c_str());
    while (!in.done()) {
        const uint8_t which = in.byte() % 5;
        const std::string a = cText(in.text()), b = cText(in.text()), c = cText(in.text()), d = cText(in.text());
        const int number = in.integer();
        const size_t before = host.commands.size();
        switch (which) {
        case 0:
            script.textPut(a.c_str(), b.c_str(), c.c_str(), d.c_str());
            requireSent(host, before, "TP '" + a + "=" + b + "' '" + c + "' '" + d + "'");
            break;
        case 1: {
            script.panelShow(a.c_str(), b.c_str(), c.c_str());
            const std::string file = path.empty() ? b : path + "/" + b;
            requireSent(host, before, "PS '" + a + "' '" + file + "'" + (c.empty() ? "" : " '" + c + "'"));
            break;
        }
        case 2:
            script.routerConnect(number, number / 3, number ^ 0x5555, a.c_str(), number & 1);
            requireSent(host, before,
                        "RC " + std::to_string(number) + " " + std::to_string(number / 3) + " " +
                            std::to_string(number ^ 0x5555) + " '," + a + "' " + ((number & 1) ? "1" : "0"));
            break;
        case 3: {
            vorn_string value;
            script.textGet(a.c_str(), b.c_str(), c.c_str(), value);
            requireSent(host, before, "TG '" + b + "' '" + c + "' '" + a + "'");
            break;
        }
        default:
            script.controlIdList(a.c_str(), b.c_str());
            requireSent(host, before, "XI '" + a + "' '" + b + "'");
            break;
        }
    }
    return 0;
}
