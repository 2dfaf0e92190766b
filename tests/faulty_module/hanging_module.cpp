// A script module that never returns from code 6: it computes forever, or, built with
// VORN_HANG_BY_WAITING, waits forever without computing. vorn-host validate must end the check
// that makes the call on its processor-time limit, or on its wall-clock backstop.
#include <unistd.h>

#include "vorn_module_export.h"
#include "vorn_records.h"

namespace {

class hanging_script final : public vorn_client_callback {
public:
    explicit hanging_script(vorn_host_command* host) : m_host(host) {}
    ~hanging_script() { m_host->hostCommand("AS", kHostPerform); }

    char* callback(void*, int code) override {
        if (code == kCodeAuxRecord) hang();
        return nullptr;
    }

private:
    static void hang() {
#if defined(VORN_HANG_BY_WAITING)
        for (;;) pause();
#else
        for (volatile unsigned long spins = 0;; spins = spins + 1) {
        }
#endif
    }

    vorn_host_command* m_host;
};

}  // namespace

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char*) {
    return new hanging_script(host);
}
