#pragma once
// Ways the checks drive a module: a whole session played by the simulator, or one script
// called directly with parameters no session line can express. Both check the host contract
// with the simulator's rules and keep what the module sent.
#include <sstream>
#include <string>
#include <vector>

#include "contract_rules.h"
#include "session_report.h"
#include "simulated_host.h"
#include "vorn_module_export.h"

namespace vorn_host {

struct module_setup {
    load_vorn_client_script_fn factory = nullptr;
    std::vector<std::string> panelDirs;
    std::string path;
    bool factoryMayFail = false;  // see player_options
    rule_settings rules;          // the severities the module is judged by
};

struct played_session {
    bool clean = true;
    std::string problems;                            // the report's problem lines
    std::vector<std::vector<std::string>> commands;  // what each instance sent
};

// Plays the session text (one action a line) on `instances` script objects; lines that do not
// parse are reported as problems.
played_session playSessionText(const module_setup& setup, const std::string& sessionText, int instances = 1);

// One script object called straight through callback, with any parameter and code; every
// answer is handed back at once unless answers are held.
class direct_script {
public:
    explicit direct_script(const module_setup& setup, const char* path);
    ~direct_script();
    direct_script(const direct_script&) = delete;
    direct_script& operator=(const direct_script&) = delete;

    bool created() const { return m_script != nullptr; }
    // Calls callback, naming the call for the report; a code-3 answer is checked and handed back.
    void call(const std::string& what, void* param, int code);
    // Held answers stay with the host until handBackAnswers, or until the script is removed.
    void holdAnswers(bool hold) { m_holdAnswers = hold; }
    void handBackAnswers();
    void remove();

    bool clean() const { return m_report.clean(); }
    std::string problems() const { return m_out.str(); }
    std::vector<std::string> sent() const { return m_report.sentBy(0); }

private:
    std::ostringstream m_out;
    session_report m_report;
    simulated_host m_host;
    vorn_client_callback* m_script = nullptr;
    bool m_holdAnswers = false;
};

// The first line of a text, for a one-line reason.
std::string firstLine(const std::string& text);

}  // namespace vorn_host
