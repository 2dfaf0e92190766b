#include "web_view.h"

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "session.h"
#include "web_door.h"

namespace vorn_host {

extern const char kWebPage[];  // page.html, embedded at build time

namespace {

using json = nlohmann::ordered_json;

// Bounds on what clients can make the server hold.
const std::size_t kMaxQueuedLines = 64;    // lines waiting to be played; beyond, 503
const int kMaxEventStreams = 4;            // open /events streams; beyond, 503
const int kWriteTimeoutSeconds = 5;        // a reader that takes no data for this long is dropped
const int kServiceUnavailable = 503;
// Where the page carries the run's token, for its requests to send back.
const char kTokenMark[] = "{{VORN_TOKEN}}";

// What the server threads and the main thread share: the lines to play, and the state to show.
struct shared_view {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> toPlay;
    std::string state = "{}";
    unsigned long version = 0;
    bool quit = false;
    int eventStreams = 0;
};

// The server's log of refusals, written from its threads.
class refusal_log {
public:
    explicit refusal_log(std::ostream& err) : m_err(err) {}
    void write(const httplib::Request& req, const door_verdict& verdict) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_err << "vorn-host: refused " << req.method << " " << req.path << " (" << verdict.status << "): "
              << verdict.reason << std::endl;
    }

private:
    std::mutex m_mutex;
    std::ostream& m_err;
};

web_request_view viewOf(const httplib::Request& req) {
    web_request_view view;
    view.method = req.method;
    view.path = req.path;
    view.host = req.get_header_value("Host");
    view.origin = req.get_header_value("Origin");
    view.token = req.has_header(kTokenHeader) ? req.get_header_value(kTokenHeader) : req.get_param_value(kTokenQuery);
    view.bodySize = static_cast<std::size_t>(std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10));
    return view;
}

void refuse(httplib::Response& res, const door_verdict& verdict) {
    res.status = verdict.status;
    res.set_content(verdict.reason + "\n", "text/plain");
}

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
    return {{"panels", panelsOf(host)}, {"crosspoints", crosspoints},
            {"timers", json(std::vector<long>(host.runningTimers().begin(), host.runningTimers().end()))},
            {"clean", report.clean()}, {"error", lastError}, {"log", log}};
}

void publish(shared_view& view, const std::string& state) {
    std::lock_guard<std::mutex> lock(view.mutex);
    view.state = state;
    ++view.version;
    view.changed.notify_all();
}

// Every request passes the door first (web_door.h); what it refuses is logged and answered.
void guard(httplib::Server& server, const web_door& door, refusal_log& log) {
    server.set_pre_routing_handler([&door, &log](const httplib::Request& req, httplib::Response& res) {
        const door_verdict verdict = admit(door, viewOf(req));
        if (verdict.status == 0) return httplib::Server::HandlerResponse::Unhandled;
        log.write(req, verdict);
        refuse(res, verdict);
        return httplib::Server::HandlerResponse::Handled;
    });
    server.set_payload_max_length(kMaxActionBytes);
    server.set_write_timeout(kWriteTimeoutSeconds, 0);
}

// The page, with the run's token in it: only a page served by this server knows it.
std::string pageWithToken(const std::string& token) {
    std::string page = kWebPage;
    const std::size_t mark = page.find(kTokenMark);
    if (mark != std::string::npos) page.replace(mark, sizeof kTokenMark - 1, token);
    return page;
}

// Server-sent events: the whole state again each time it changes. The state is copied under
// the lock and written without it, so that a slow reader holds up no one else.
void serveEvents(httplib::Response& res, shared_view& view) {
    auto sent = std::make_shared<unsigned long>(0);
    res.set_chunked_content_provider(
        "text/event-stream",
        [&view, sent](size_t, httplib::DataSink& sink) {
            std::string event;
            {
                std::unique_lock<std::mutex> lock(view.mutex);
                view.changed.wait_for(lock, std::chrono::seconds(1), [&] { return view.quit || view.version != *sent; });
                if (view.quit) {
                    sink.done();
                    return false;
                }
                if (view.version != *sent) {
                    *sent = view.version;
                    event = "data: " + view.state + "\n\n";
                }
            }
            if (event.empty()) return sink.write(": keep-alive\n\n", 14);
            return sink.write(event.data(), event.size());
        },
        [&view](bool) {
            std::lock_guard<std::mutex> lock(view.mutex);
            --view.eventStreams;
        });
}

void route(httplib::Server& server, shared_view& view, const web_door& door, refusal_log& log) {
    server.Get("/", [&door](const httplib::Request&, httplib::Response& res) {
        res.set_content(pageWithToken(door.token), "text/html; charset=utf-8");
    });
    server.Get("/state", [&view](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(view.mutex);
        res.set_content(view.state, "application/json");
    });
    server.Get("/events", [&view, &log](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard<std::mutex> lock(view.mutex);
            if (view.eventStreams >= kMaxEventStreams) {
                const door_verdict busy{kServiceUnavailable, std::to_string(kMaxEventStreams) + " event streams are open"};
                log.write(req, busy);
                refuse(res, busy);
                return;
            }
            ++view.eventStreams;
        }
        serveEvents(res, view);
    });
    // One session line to play, as the page writes it: "event 1 Sources value=7".
    server.Post("/action", [&view, &log](const httplib::Request& req, httplib::Response& res) {
        door_verdict verdict = admitAction(req.body);
        std::lock_guard<std::mutex> lock(view.mutex);
        if (verdict.status == 0 && view.toPlay.size() >= kMaxQueuedLines) {
            verdict = {kServiceUnavailable, std::to_string(kMaxQueuedLines) + " lines are waiting to be played"};
        }
        if (verdict.status != 0) {
            log.write(req, verdict);
            refuse(res, verdict);
            return;
        }
        view.toPlay.push_back(req.body);
        view.changed.notify_all();
        res.set_content("queued\n", "text/plain");
    });
    server.Post("/quit", [&view](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(view.mutex);
        view.quit = true;
        view.changed.notify_all();
        res.set_content("bye\n", "text/plain");
    });
}

}  // namespace

bool serveWeb(session_player& player, session_report& report, const web_door& door, std::ostream& out,
              std::ostream& err) {
    shared_view view;
    refusal_log log(err);
    httplib::Server server;
    guard(server, door, log);
    route(server, view, door, log);
    const std::string address = door.listenHost + ":" + std::to_string(door.port);
    if (!server.bind_to_port(door.listenHost.c_str(), door.port)) {
        err << "vorn-host: cannot listen on " << address << "\n";
        return false;
    }
    std::thread serving([&server] { server.listen_after_bind(); });
    publish(view, stateOf(player, report, "").dump());
    // On loopback the page carries the token itself; listening further out, the page needs it.
    const std::string query = isLoopbackHost(door.listenHost) ? "" : std::string("?") + kTokenQuery + "=" + door.token;
    out << "vorn-host: the panel view is at http://" << address << "/" << query << " (post /quit to end)" << std::endl;

    int line = 0;
    for (;;) {
        std::string text;
        {
            std::unique_lock<std::mutex> lock(view.mutex);
            view.changed.wait(lock, [&] { return view.quit || !view.toPlay.empty(); });
            if (view.toPlay.empty()) break;
            text = view.toPlay.front();
            view.toPlay.pop_front();
        }
        const parsed_line parsed = parseSessionLine(text, ++line);
        if (parsed.action) player.play(*parsed.action);
        publish(view, stateOf(player, report, parsed.error).dump(-1, ' ', false, json::error_handler_t::replace));
    }
    server.stop();
    serving.join();
    return true;
}

}  // namespace vorn_host
