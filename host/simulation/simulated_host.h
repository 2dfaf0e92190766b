#pragma once
// The host's side of one script object: it carries out the commands the script sends on its
// panel, router and timer models and answers the queries; what each side holds of the other's
// is kept, and checked, by its ownership ledger.
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "command_text.h"
#include "ownership_ledger.h"
#include "panel_model.h"
#include "router_model.h"
#include "router_links.h"
#include "session_report.h"
#include "vorn_boundary_words.h"
#include "vorn_host_command.h"

extern "C" struct vorn_tcp;

namespace vorn_host {

class simulated_host final : public vorn_host_command {
public:
    // Panel files named by a relative path are looked for in each of `panelDirs` in turn.
    // `routers`, when given, takes the "RC" commands of the devices it links to real routers.
    simulated_host(int instance, std::vector<std::string> panelDirs, session_report& report,
                   const router_links* routers = nullptr);
    ~simulated_host();
    simulated_host(const simulated_host&) = delete;
    simulated_host& operator=(const simulated_host&) = delete;

    void hostReserved() override;
    char* hostCommand(const char* text, int code) override;

    // The session line being played; breaches are reported against it.
    void beginAction(int line, const std::string& action);
    // Commands received since the last call.
    std::vector<std::string> takeReceived();

    // Checks an answer to a request text the host passed in. True when the host may hold it
    // and later hand it back; false when it must not be handed back.
    bool acceptAnswer(const char* answer, const char* requestText);
    // Answers held so far, to hand back before the script goes.
    std::vector<char*> takeHeldAnswers();
    // After the script object is deleted: "AS" must have come, and every reply gone back.
    void scriptDeleted();

    void startTimer(long id) { m_runningTimers.insert(id); }
    // How long this host has spent carrying out commands: a router's reply, say. It is the
    // host's time, not the module's.
    std::chrono::steady_clock::duration hostTime() const { return m_hostTime; }
    void printState(std::ostream& out) const;
    const router_model& router() const { return m_router; }
    // Takes in what the real routers sent of their own accord (another controller's routes,
    // renamed ports), waiting at most `waitMs` on each; true when any of it changed.
    bool takeRouterReports(unsigned waitMs);
    // The open connections to the real routers, whose bytes takeRouterReports takes in.
    std::vector<vorn_tcp*> routerConnections() const;
    const panel_model& panels() const { return m_panels; }
    const std::set<long>& runningTimers() const { return m_runningTimers; }

private:
    char* perform(const std::string& line);
    char* performSplit(const command_text& command, const std::string& line);

    // What one command did: whether its fields were well formed, and the reply it gives.
    struct command_outcome {
        bool wellFormed;
        char* reply;
    };
    using fields_of = std::optional<std::vector<std::string>>;
    // Each command's work, given its fields when they have its shape (vorn_boundary_words.h).
    command_outcome panelShow(const fields_of& fields, const std::string& line);
    command_outcome textPut(const fields_of& fields, const std::string& line);
    command_outcome routerConnect(const fields_of& fields, const std::string& line);
    command_outcome timerStop(const fields_of& fields, const std::string& line);
    command_outcome hostDetach(const fields_of& fields, const std::string& line);
    command_outcome textGet(const fields_of& fields, const std::string& line);
    command_outcome controlIdList(const fields_of& fields, const std::string& line);
    struct command_entry {
        const vorn_command_shape& command;
        command_outcome (simulated_host::*perform)(const fields_of& fields, const std::string& line);
    };
    static const command_entry kCommands[];

    char* showPanel(const std::vector<std::string>& fields);
    char* giveReply(const std::optional<std::string>& reply, const std::string& command);
    void takeBack(const char* reply);
    void breach(const char* rule, const std::string& detail);
    // A TP or TG must name a control that the shown panel file lists.
    void checkOnPanel(const std::string& panel, const std::string& control, const std::string& line);
    // Makes the route in the simulator, or on the real router that the device is linked to.
    void connectRoute(long device, long source, long destination, const std::string& line);
    // The table and the names show what the router reported, not what was asked.
    void showReported(long device, const router_link& link);
    std::string resolvePanelFile(const std::string& file) const;

    int m_instance;
    std::vector<std::string> m_panelDirs;
    session_report& m_report;
    const router_links* m_routers;
    std::chrono::steady_clock::duration m_hostTime{};
    int m_line = 0;
    std::string m_action;

    panel_model m_panels;
    router_model m_router;
    std::set<long> m_runningTimers;
    std::vector<std::string> m_received;
    ownership_ledger m_ledger;
    // The reply to a panel command that succeeded: the host's, never to be handed back.
    const std::string m_panelShown = "1";
};

}  // namespace vorn_host
