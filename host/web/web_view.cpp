#include "web_view.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "session.h"

extern const char kWebPage[];  // page.html, embedded at build time

namespace {

using json = nlohmann::ordered_json;

// What the server threads and the main thread share: the lines to play, and the state to show.
struct shared_view {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> toPlay;
    std::string state = "{}";
    unsigned long version = 0;
    bool quit = false;
};

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

void route(httplib::Server& server, shared_view& view) {
    server.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kWebPage, "text/html; charset=utf-8");
    });
    server.Get("/state", [&view](const httplib::Request&, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(view.mutex);
        res.set_content(view.state, "application/json");
    });
    // Server-sent events: the whole state again each time it changes.
    server.Get("/events", [&view](const httplib::Request&, httplib::Response& res) {
        auto sent = std::make_shared<unsigned long>(0);
        res.set_chunked_content_provider("text/event-stream", [&view, sent](size_t, httplib::DataSink& sink) {
            std::unique_lock<std::mutex> lock(view.mutex);
            view.changed.wait_for(lock, std::chrono::seconds(1), [&] { return view.quit || view.version != *sent; });
            if (view.quit) {
                sink.done();
                return false;
            }
            if (view.version == *sent) return sink.write(": keep-alive\n\n", 14);
            *sent = view.version;
            const std::string event = "data: " + view.state + "\n\n";
            return sink.write(event.data(), event.size());
        });
    });
    // One session line to play, as the page writes it: "event 1 Sources value=7".
    server.Post("/action", [&view](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> lock(view.mutex);
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

bool serveWeb(session_player& player, session_report& report, const std::string& address, std::ostream& out,
              std::ostream& err) {
    const size_t colon = address.rfind(':');
    const std::string host = colon == std::string::npos ? address : address.substr(0, colon);
    const int port = colon == std::string::npos ? 8080 : std::atoi(address.c_str() + colon + 1);
    shared_view view;
    httplib::Server server;
    route(server, view);
    if (!server.bind_to_port(host.c_str(), port)) {
        err << "vorn-host: cannot listen on " << address << "\n";
        return false;
    }
    std::thread serving([&server] { server.listen_after_bind(); });
    publish(view, stateOf(player, report, "").dump());
    out << "vorn-host: the panel view is at http://" << address << "/ (post /quit to end)" << std::endl;

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
