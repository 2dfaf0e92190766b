// A small script module with words of its own (panel "3", controls "Inputs", "Outputs" and
// "Go", the parameter "Device"), built once without a flaw and once with each of the flaws that
// `vorn-host validate` names. Each flaw must fail exactly its own check:
//   VORN_FLAW_SHARED_STATE   the picked input lives in a static   -> instances-separate
//   VORN_FLAW_LEAKED_ANSWERS code 5 frees no answer               -> answers-freed
//   VORN_FLAW_CRASH          code 9 writes through null           -> callback-codes
//   VORN_FLAW_EXTRA_EXPORT   a second exported symbol             -> exports-only-factory
//   VORN_FLAW_LOAD_STATIC    a table made at load, never freed    -> load-unload
//   VORN_FLAW_SLOW           timer 7 computes for 100 ms          -> quick-callbacks
//   VORN_FLAW_UNCHECKED_FALLBACK  a failed answer falls back to a   -> allocation-failure
//                            second malloc it never checks: only
//                            seen when memory stays short
//   VORN_FLAW_UNCHECKED_EVENT_TEXT  reads an event's text     -> control-event-texts
//                            without checking it is there
//   VORN_FLAW_BREACH_WHEN_SHORT  a malformed command when an  -> allocation-failure
//                            answer cannot be made

// Built with VORN_FLAW_STAYS_LOADED by GCC, it counts its loads in an inline function's static,
// a GNU unique symbol that keeps the module in the process after its last unload.
// Built with VORN_FLAW_NO_DETACH, its scripts never send AS: every check that deletes one fails.
// Built with VORN_FLAW_TIMER_ANSWER, it answers timer events, which must return null.
// Built with VORN_FLAW_NO_SCRIPT, its factory makes no script: every check that drives one fails.
// Answers are made with malloc when VORN_ANSWERS_WITH_MALLOC is set, with new[] otherwise.
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "vorn_module_export.h"
#include "vorn_boundary_words.h"
#include "vorn_records.h"

#if defined(VORN_FLAW_EXTRA_EXPORT)
extern "C" VORN_MODULE_EXPORT int one_flaw_extra_export() {
    return 1;
}
#endif

namespace {

#if defined(VORN_FLAW_LOAD_STATIC)
char* gNameTable = new char[64];
#endif

}  // namespace

#if defined(VORN_FLAW_STAYS_LOADED)
__attribute__((visibility("default"))) inline int& one_flaw_loads() {
    static int loads = 0;
    return loads;
}
#endif

namespace {

const char kPanel[] = "3";

struct picks {
    int input = 0;
    int output = 0;
};

#if defined(VORN_FLAW_SHARED_STATE)
picks gShared;
#endif

// Written without std::to_string, whose digit table would be one more exported symbol.
std::string decimal(long n) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%ld", n);
    return digits;
}

char* answerWith(const std::string& text) {
#if defined(VORN_ANSWERS_WITH_MALLOC)
    char* answer = static_cast<char*>(std::malloc(text.size() + 1));
#if defined(VORN_FLAW_UNCHECKED_FALLBACK)
    if (!answer) {
        answer = static_cast<char*>(std::malloc(1));
        answer[0] = '\0';
        return answer;
    }
#endif
    if (!answer) return nullptr;
#else
    char* answer = new char[text.size() + 1];
#endif
    std::memcpy(answer, text.c_str(), text.size() + 1);
    return answer;
}

void handBack(char* answer) {
#if defined(VORN_FLAW_LEAKED_ANSWERS)
    (void)answer;
#elif defined(VORN_ANSWERS_WITH_MALLOC)
    std::free(answer);
#else
    delete[] answer;
#endif
}

#if defined(VORN_FLAW_SLOW)
void computeFor(long milliseconds) {
    timespec start{}, now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    do {
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    } while ((now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000 < milliseconds);
}
#endif

class one_flaw_script final : public vorn_native_script {
public:
    explicit one_flaw_script(vorn_host_command* host) : m_host(host) {
#if defined(VORN_FLAW_STAYS_LOADED)
        ++one_flaw_loads();
#endif
#if defined(VORN_FLAW_LOAD_STATIC)
        std::strcpy(gNameTable, "one flaw");
#endif
        send("PS '3' 'f3.vorn_ui'");
    }
    ~one_flaw_script() {
#if !defined(VORN_FLAW_NO_DETACH)
        send("AS");
#endif
    }

    char* callback(void* param, int code) override {
        try {
            return dispatch(param, code);
        } catch (...) {
            return nullptr;
        }
    }

private:
    char* dispatch(void* param, int code) {
#if defined(VORN_FLAW_CRASH)
        if (code == 9) *static_cast<volatile char*>(nullptr) = 1;
#endif
        if (code == kCodeControlEvent && param) controlEvent(*static_cast<const host_control_event*>(param));
        if (code == kCodeParameterRequest && param) return request(static_cast<const char*>(param));
        if (code == kCodeRelease && param) handBack(static_cast<char*>(param));
        if (code == kCodeTimer) timer(vorn_number_in(param));
#if defined(VORN_FLAW_TIMER_ANSWER)
        static char answer[] = "timer";  // code 4 returns null, always
        if (code == kCodeTimer) return answer;
#endif
        return nullptr;
    }

    picks& picked() {
#if defined(VORN_FLAW_SHARED_STATE)
        return gShared;
#else
        return m_picks;
#endif
    }

    void controlEvent(const host_control_event& event) {
        if (!event.panel || !event.control || std::strcmp(event.panel, kPanel) != 0) return;
#if defined(VORN_FLAW_UNCHECKED_EVENT_TEXT)
        const int value = event.event->value ? std::atoi(event.event->value) : 0;
#else
        const int value = event.event && event.event->value ? std::atoi(event.event->value) : 0;
#endif
        if (std::strcmp(event.control, "Inputs") == 0) picked().input = value;
        if (std::strcmp(event.control, "Outputs") == 0) picked().output = value;
        if (std::strcmp(event.control, "Go") == 0) go();
    }

    void timer(intptr_t id) {
#if defined(VORN_FLAW_SLOW)
        if (id == 7) computeFor(100);
#endif
        send("ET " + decimal(id));
    }

    void go() {
        send("RC " + decimal(m_device) + " " + decimal(picked().input) + " " + decimal(picked().output) + " ',' 0");
    }

    char* request(const std::string& text) {
        const size_t equals = text.find('=');
        const std::string command = text.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
        if (command == "Device") m_device = std::atoi(value.c_str());
        if (command == "return" && (value == "all" || value == "Device")) {
            return answer("Device=" + decimal(m_device));
        }
        if (command == "_commands") return answer("Device=[value]");
        return nullptr;
    }

    // An answer, or null when there is no memory for it.
    char* answer(const std::string& text) {
        char* made = answerWith(text);
#if defined(VORN_FLAW_BREACH_WHEN_SHORT)
        if (!made) send("TP");  // a malformed command, sent only when memory is short
#endif
        return made;
    }

    void send(const std::string& command) {
        m_host->hostCommand(command.c_str(), kHostPerform);
    }

    vorn_host_command* m_host;
    picks m_picks;
    int m_device = 0;
};

}  // namespace

vorn_client_callback* load_vorn_client_script(vorn_host_command* host, const char*) {
#if defined(VORN_FLAW_NO_SCRIPT)
    (void)host;
    return nullptr;
#endif
    try {
        return new one_flaw_script(host);
    } catch (...) {
        return nullptr;
    }
}
