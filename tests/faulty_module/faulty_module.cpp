// A deliberately faulty script module: each request breaks one rule of the host boundary, so
// that the host simulator's checks can be shown to catch it.
#include <chrono>
#include <cstring>
#include <thread>
#include <string>

#include "vorn_module_export.h"
#include "vorn_boundary_words.h"

namespace {

class faulty_script final : public vorn_native_script {
public:
    explicit faulty_script(vorn_host_command* host) : m_host(host) { send("PS '1' 'p1.vorn_ui'"); }

    ~faulty_script() {
        if (!m_detached && m_detachOnDelete) m_host->hostCommand("AS", kHostPerform);
    }

    char* callback(void* param, int code) override {
        if (code == kCodeRecord) return m_sameAnswer;  // nothing may come back for code 1
        if (code != kCodeParameterRequest) return nullptr;
        const std::string request = static_cast<const char*>(param);
        if (request == "after-detach") {
            send("AS");
            m_detached = true;
            send("TP 'late=1' '1' 'x'");
        } else if (request == "double-hand-back") {
            char* reply = send("XI '1' ''");
            m_host->hostCommand(reply, kHostRelease);
            m_host->hostCommand(reply, kHostRelease);
        } else if (request == "keep-reply") {
            send("TG '1' 'Sources' 'index'");
        } else if (request == "foreign-hand-back") {
            m_host->hostCommand(m_sameAnswer, kHostRelease);
        } else if (request == "multi-line") {
            send("TP 'a=b\nc' '1' 'x'");
        } else if (request == "unbalanced") {
            send("TP 'a=b' '1' 'x");
        } else if (request == "apostrophe") {
            send("TP 'a=it's' '1' 'Sources'");
        } else if (request == "not-on-panel") {
            send("TP 'a=1' '1' 'NotOnThePanel'");
        } else if (request == "slow") {
            std::this_thread::sleep_for(std::chrono::milliseconds(120));
        } else if (request == "unknown") {
            send("ZZ 1");
        } else if (request == "malformed") {
            send("RC 1 two 3 ',' 0");
        } else if (request == "same-answer") {
            return m_sameAnswer;
        } else if (request == "echo") {
            return static_cast<char*>(param);
        } else if (request == "no-detach") {
            m_detachOnDelete = false;
        }
        return nullptr;
    }

private:
    char* send(const char* text) { return m_host->hostCommand(text, kHostPerform); }

    vorn_host_command* m_host;
    bool m_detached = false;
    bool m_detachOnDelete = true;
    char m_sameAnswer[8] = "same";
};

}  // namespace

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char*) {
    return new faulty_script(host);
}
