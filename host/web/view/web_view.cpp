// The browser view's play loop: the server (sockets/web_server.cpp, in the socket library)
// queues the lines the page posts; this loop, on the main thread, plays each on the module and
// publishes the state the page shows.
#include "web_view.h"

#include <map>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "session.h"
#include "socket_loader.h"
#include "web_door.h"

namespace vorn_host {

extern const char kWebPage[];  // page.html, embedded at build time

namespace {

using json = nlohmann::ordered_json;

// Where the page carries the run's token, for its requests to send back.
const char kTokenMark[] = "{{VORN_TOKEN}}";

// How long the loop waits at most for the page, or for a real router to send something, before
// it waits again: an idle view wakes this seldom. How long the routers are read before the page
// is first served, for the state it first shows.
const long long kLongestWaitMs = 60 * 1000;
const unsigned kRouterReadMs = 20;

json panelsOf(const simulated_host& host) {
    json panels = json::array();
    for (const panel_model::panel_view& p : host.panels().view()) {
        json controls = json::array();
        for (const panel_model::control_view& c : p.controls) {
            json properties = json::object();
            for (const auto& [name, value] : c.values) properties[name] = value;
            controls.push_back({{"id", c.id}, {"kind", c.kind}, {"items", c.items}, {"properties", properties}});
        }
        panels.push_back({{"id", p.id}, {"controls", controls}});
    }
    return panels;
}

json labelsOf(const std::map<long, std::string>& labels) {
    json named = json::object();
    for (const auto& [number, label] : labels) named[std::to_string(number)] = label;
    return named;
}

// The devices linked to real routers: each router's size and its ports' names.
json routersOf(const router_model& router) {
    json routers = json::array();
    for (const auto& [device, reported] : router.reported()) {
        routers.push_back({{"device", device},
                           {"sources", reported.sources},
                           {"destinations", reported.destinations},
                           {"sourceLabels", labelsOf(reported.sourceLabels)},
                           {"destinationLabels", labelsOf(reported.destinationLabels)}});
    }
    return routers;
}

json stateOf(const session_player& player, const session_report& report, const std::string& lastError) {
    const simulated_host& host = player.host(0);
    json crosspoints = json::array();
    for (const auto& [where, source] : host.router().feeds()) {
        crosspoints.push_back({{"device", where.first}, {"destination", where.second}, {"source", source}});
    }
    json log = json::array();
    for (const session_report::shown_entry& e : report.entries()) {
        if (e.kind == "state") continue;
        log.push_back({{"kind", e.kind}, {"line", e.line}, {"text", e.text}, {"detail", e.detail}});
    }
    return {{"panels", panelsOf(host)},
            {"crosspoints", crosspoints},
            {"routers", routersOf(host.router())},
            {"timers", json(std::vector<long>(host.runningTimers().begin(), host.runningTimers().end()))},
            {"clean", report.clean()},
            {"error", lastError},
            {"log", log}};
}

// The page, with the run's token in it: only a page served by this server knows it.
std::string pageWithToken(const std::string& token) {
    std::string page = kWebPage;
    const std::size_t mark = page.find(kTokenMark);
    if (mark != std::string::npos) page.replace(mark, sizeof kTokenMark - 1, token);
    return page;
}

void publish(const vorn_socket_library& library, vorn_web_server* server, const json& state) {
    const std::string text = state.dump(-1, ' ', false, json::error_handler_t::replace);
    library.webPublish(server, text.data(), text.size());
}

// The server's refusals, written from its threads, one line at a time.
void writeRefusal(void* err, const char* line) {
    try {
        *static_cast<std::ostream*>(err) << "vorn-host: " << line << std::endl;
    } catch (...) {
    }
}

}  // namespace

bool serveWeb(session_player& player, session_report& report, const web_door& door, std::ostream& out,
              std::ostream& err) {
    std::string why;
    const vorn_socket_library* library = socketLibrary(why);
    if (library && !library->webStart) why = "this vorn-host was built without the browser view";
    if (!library || !library->webStart) {
        err << "vorn-host: --web " << door.listenHost << ":" << door.port << ": " << why << "\n";
        return false;
    }
    // What the routers reported before serving, so that the first state the page gets shows it.
    player.takeRouterReports(kRouterReadMs);
    const std::string page = pageWithToken(door.token);
    const vorn_web_settings settings{
        door.listenHost.c_str(), door.port, door.token.c_str(), page.c_str(), writeRefusal, &err};
    char error[kSocketErrorSize] = "";
    vorn_web_server* server = library->webStart(&settings, error, sizeof error);
    if (!server) {
        err << "vorn-host: " << error << "\n";
        return false;
    }
    publish(*library, server, stateOf(player, report, ""));
    // On loopback the page carries the token itself; listening further out, the page needs it.
    const std::string address = door.listenHost + ":" + std::to_string(door.port);
    const std::string query = isLoopbackHost(door.listenHost) ? "" : std::string("?") + kTokenQuery + "=" + door.token;
    out << "vorn-host: the panel view is at http://" << address << "/" << query << " (post /quit to end)" << std::endl;

    // One wait for the page's lines and the real routers' bytes at once: each line the page
    // sends is played, and what a router reports of its own accord is shown as it arrives. What
    // a router sent beside a take's reply is taken in after the line.
    char text[kMaxActionBytes + 1];
    std::string lastError;
    for (int line = 1;;) {
        const std::vector<vorn_tcp*> routers = player.routerConnections();
        std::size_t readable = 0;
        const vorn_web_next next =
            library->webNextLine(server, text, sizeof text, routers.data(), routers.size(), &readable, kLongestWaitMs);
        if (next == vorn_web_quit) break;
        if (next == vorn_web_waited) continue;
        if (next == vorn_web_line) {
            const parsed_line parsed = parseSessionLine(text, line++);
            if (parsed.action) player.play(*parsed.action);
            lastError = parsed.error;
            player.takeRouterReports(0);
        } else if (!player.takeRouterReports(0)) {
            continue;
        }
        publish(*library, server, stateOf(player, report, lastError));
    }
    library->webStop(server);
    return true;
}

}  // namespace vorn_host
