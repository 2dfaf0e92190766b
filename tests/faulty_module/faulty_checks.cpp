// A script module with one deliberate fault for each of several checks of `vorn-host
// validate`: it keeps the picked source in a static, never frees its answers, crashes on code 6
// and exports a second symbol. Every other check must still pass on it.
#include <cstdlib>
#include <cstring>
#include <string>

#include "vorn_module_export.h"
#include "vorn_records.h"

extern "C" __attribute__((visibility("default"))) int faulty_checks_extra_export() {
    return 1;
}

namespace {

int gPickedSource = 0;  // the fault: shared by every script object

class faulty_checks_script final : public vorn_client_callback {
public:
    explicit faulty_checks_script(vorn_host_command* host) : m_host(host) {
        m_host->hostCommand("PS '1' 'p1.vorn_ui'", kHostPerform);
    }
    ~faulty_checks_script() { m_host->hostCommand("AS", kHostPerform); }

    char* callback(void* param, int code) override {
        if (code == kCodeAuxRecord) {
            volatile char* nowhere = nullptr;
            *nowhere = 1;  // crashes
        }
        if (code == kCodeControlEvent && param) controlEvent(*static_cast<const host_control_event*>(param));
        if (code == kCodeParameterRequest && param && std::strcmp(static_cast<const char*>(param), "return=all") == 0) {
            char* answer = new char[16];  // never freed: code 5 below forgets it
            std::strcpy(answer, "picked");
            return answer;
        }
        return nullptr;
    }

private:
    void controlEvent(const host_control_event& event) {
        if (!event.control || !event.event || !event.event->value) return;
        if (std::strcmp(event.control, "Sources") == 0) gPickedSource = std::atoi(event.event->value);
        if (std::strcmp(event.control, "500") == 0) {
            const std::string take = "RC 1 " + std::to_string(gPickedSource) + " 1 ',' 0";
            m_host->hostCommand(take.c_str(), kHostPerform);
        }
    }

    vorn_host_command* m_host;
};

}  // namespace

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char*) {
    return new faulty_checks_script(host);
}
