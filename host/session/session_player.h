#pragma once
// Plays session actions on one or more script objects of a module, interleaved, each with a
// host of its own, and checks the expectations of the session as they come.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "session.h"
#include "session_recorder.h"
#include "contract_rules.h"
#include "session_report.h"
#include "simulated_host.h"
#include "vorn_module_export.h"

namespace vorn_host {

struct player_options {
    std::string path;  // the path text each script is created with
    int instances = 1;
    std::vector<std::string> panelDirs;  // where relative panel files are looked for
    // A factory that returns no script is a failure, unless the host made its allocation fail
    // on purpose: then the session goes on with nothing to act on.
    bool factoryMayFail = false;
    unsigned slowCallbackMs = kSlowCallbackMs;  // a call into the module over this is slow
    session_recorder* recorder = nullptr;       // records what the first instance did, when set
    const router_links* routers = nullptr;      // devices whose routes go to real routers
};

class session_player {
public:
    // Creates the script objects; their construction is the first action of the session.
    session_player(load_vorn_client_script_fn factory, const player_options& options, session_report& report);
    // Deletes the scripts still alive.
    ~session_player();
    session_player(const session_player&) = delete;
    session_player& operator=(const session_player&) = delete;

    void play(const session_action& action);
    // The host of an instance, to look at its panels, router and timers.
    const simulated_host& host(int index) const { return *m_instances[static_cast<size_t>(index)].host; }
    // Whether the instance has a script to act on: the factory gave one and it is not deleted.
    bool hasScript(int index) const { return m_instances[static_cast<size_t>(index)].script != nullptr; }
    // Takes in what the real routers sent of their own accord, for every instance's host; true
    // when any of it changed (simulated_host::takeRouterReports).
    bool takeRouterReports(unsigned waitMs);
    // The open connections to the real routers, which every instance's host shares.
    std::vector<vorn_tcp*> routerConnections() const;
    // Closes the last expectations, deletes every script still alive and shows the crosspoints.
    void finish();

private:
    struct instance {
        std::unique_ptr<simulated_host> host;
        vorn_client_callback* script = nullptr;
        std::vector<std::string> sinceAction;  // commands received since the last action
        size_t expectedSoFar = 0;              // of them, how many expect lines have named
        std::optional<std::string> lastAnswer;
    };

    void perform(int index, instance& in, const session_action& action);
    void request(int index, instance& in, const session_action& action);
    void deleteScript(int index, instance& in, int line);
    template <typename Call>
    auto intoModule(int index, int line, const std::string& what, Call call);
    void check(int index, instance& in, const session_action& expectation);
    void closeExpectations();

    session_report& m_report;
    std::vector<instance> m_instances;
    int m_lastExpectLine = 0;
    bool m_finished = false;
    bool m_factoryMayFail = false;
    unsigned m_slowCallbackMs;
    session_recorder* m_recorder;
};

}  // namespace vorn_host
