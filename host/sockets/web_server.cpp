// The browser view's HTTP server, on Debian's cpp-httplib: the page, its state and its event
// stream, and the session lines it posts, queued for the program's main thread to play.
#include "web_server.h"

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <httplib.h>

#include "socket_errors.h"
#include "tcp_sockets.h"
#include "web_door.h"

using vorn_host::admit;
using vorn_host::admitAction;
using vorn_host::door_verdict;
using vorn_host::kMaxActionBytes;
using vorn_host::kTokenHeader;
using vorn_host::kTokenQuery;
using vorn_host::web_door;
using vorn_host::web_request_view;

namespace {

// Bounds on what clients can make the server hold.
const std::size_t kMaxQueuedLines = 64;  // lines waiting to be played; beyond, 503
const int kMaxEventStreams = 4;          // open /events streams; beyond, 503
const int kWriteTimeoutSeconds = 5;      // a reader that takes no data for this long is dropped
const int kServiceUnavailable = 503;

// What the server threads and the main thread share: the lines to play, and the state to show.
struct shared_view {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::string> toPlay;
    std::string state = "{}";
    unsigned long version = 0;
    bool quit = false;
    int eventStreams = 0;
    // The first watched connection found readable during one webNextLine, while it waits.
    std::optional<std::size_t> readable;
    // How the main thread's wait is ended, while it runs a connection's context rather than
    // waiting on `changed`; null otherwise.
    std::function<void()> wake;

    // Tells the main thread that something it waits for has come. Called with `mutex` held.
    // Whether the main thread's wait is over. Called with `mutex` held.
    bool due() const { return quit || !toPlay.empty() || readable.has_value(); }

    void tellMainThread() {
        changed.notify_all();
        if (wake) wake();
    }
};

// The server's log of refusals, written from its threads one line at a time.
class refusal_log {
public:
    refusal_log(void (*refused)(void*, const char*), void* context) : m_refused(refused), m_context(context) {}
    void write(const httplib::Request& req, const door_verdict& verdict) {
        const std::string line =
            "refused " + req.method + " " + req.path + " (" + std::to_string(verdict.status) + "): " + verdict.reason;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_refused) m_refused(m_context, line.c_str());
    }

private:
    std::mutex m_mutex;
    void (*m_refused)(void*, const char*);
    void* m_context;
};

web_request_view viewOf(const httplib::Request& req) {
    web_request_view view;
    view.method = req.method;
    view.path = req.path;
    view.host = req.get_header_value("Host");
    view.origin = req.get_header_value("Origin");
    view.token = req.has_header(kTokenHeader) ? req.get_header_value(kTokenHeader) : req.get_param_value(kTokenQuery);
    view.bodySize =
        static_cast<std::size_t>(std::strtoull(req.get_header_value("Content-Length").c_str(), nullptr, 10));
    return view;
}

void refuse(httplib::Response& res, const door_verdict& verdict) {
    res.status = verdict.status;
    res.set_content(verdict.reason + "\n", "text/plain");
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
    // Each state goes to the event stream as it is published: small writes are not held back
    // until the reader acknowledges the last one.
    server.set_tcp_nodelay(true);
    server.set_write_timeout(kWriteTimeoutSeconds, 0);
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
                view.changed.wait_for(lock, std::chrono::seconds(1),
                                      [&] { return view.quit || view.version != *sent; });
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

using handler = std::function<void(const httplib::Request&, httplib::Response&)>;

// One route of the page: its method, its path, and what answers it.
struct route {
    const char* method;
    const char* path;
    handler (*make)(shared_view& view, const std::string& page, refusal_log& log);
};

const route kRoutes[] = {
    {"GET", "/",
     [](shared_view&, const std::string& page, refusal_log&) -> handler {
         return [&page](const httplib::Request&, httplib::Response& res) {
             res.set_content(page, "text/html; charset=utf-8");
         };
     }},
    {"GET", "/state",
     [](shared_view& view, const std::string&, refusal_log&) -> handler {
         return [&view](const httplib::Request&, httplib::Response& res) {
             std::lock_guard<std::mutex> lock(view.mutex);
             res.set_content(view.state, "application/json");
         };
     }},
    {"GET", "/events",
     [](shared_view& view, const std::string&, refusal_log& log) -> handler {
         return [&view, &log](const httplib::Request& req, httplib::Response& res) {
             {
                 std::lock_guard<std::mutex> lock(view.mutex);
                 if (view.eventStreams >= kMaxEventStreams) {
                     const door_verdict busy{kServiceUnavailable,
                                             std::to_string(kMaxEventStreams) + " event streams are open"};
                     log.write(req, busy);
                     refuse(res, busy);
                     return;
                 }
                 ++view.eventStreams;
             }
             serveEvents(res, view);
         };
     }},
    // One session line to play, as the page writes it: "event 1 Sources value=7".
    {"POST", "/action",
     [](shared_view& view, const std::string&, refusal_log& log) -> handler {
         return [&view, &log](const httplib::Request& req, httplib::Response& res) {
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
             view.tellMainThread();
             res.set_content("queued\n", "text/plain");
         };
     }},
    {"POST", "/quit",
     [](shared_view& view, const std::string&, refusal_log&) -> handler {
         return [&view](const httplib::Request&, httplib::Response& res) {
             std::lock_guard<std::mutex> lock(view.mutex);
             view.quit = true;
             view.tellMainThread();
             res.set_content("bye\n", "text/plain");
         };
     }},
};

}  // namespace

struct vorn_web_server {
    vorn_web_server(const vorn_web_settings& settings)
        : door{settings.listenHost, settings.port, settings.token},
          page(settings.page),
          log(settings.refused, settings.context) {}

    web_door door;
    std::string page;
    refusal_log log;
    shared_view view;
    httplib::Server server;
    std::thread serving;
};

namespace vorn_sockets {

vorn_web_server* webStart(const vorn_web_settings* settings, char* error, std::size_t errorSize) {
    return guarded<vorn_web_server*>(nullptr, error, errorSize, [&]() -> vorn_web_server* {
        auto made = std::make_unique<vorn_web_server>(*settings);
        guard(made->server, made->door, made->log);
        for (const route& r : kRoutes) {
            const handler answer = r.make(made->view, made->page, made->log);
            if (std::string(r.method) == "GET") {
                made->server.Get(r.path, answer);
            } else {
                made->server.Post(r.path, answer);
            }
        }
        if (!made->server.bind_to_port(made->door.listenHost.c_str(), made->door.port)) {
            tell("cannot listen on " + made->door.listenHost + ":" + std::to_string(made->door.port), error, errorSize);
            return nullptr;
        }
        vorn_web_server* server = made.get();
        server->serving = std::thread([server] { server->server.listen_after_bind(); });
        return made.release();
    });
}

namespace {

// The wait's forms: on the queue alone where no connection is watched; otherwise on the first
// connection, whose context the main thread runs itself, with the queue waking it there and any
// further connections waited on by threads of their own.
void waitOnTheQueue(shared_view& view, long long waitMs) {
    std::unique_lock<std::mutex> lock(view.mutex);
    view.changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return view.due(); });
}

void waitOnConnections(shared_view& view, vorn_tcp* const* watched, std::size_t count, long long waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    vorn_sockets::connection_wait first(watched[0]);
    {
        std::lock_guard<std::mutex> lock(view.mutex);
        view.wake = [&first] { first.wake(); };
    }
    {
        // The further connections' threads tell the main thread under the lock, so the watch
        // lives outside it, and is ended (its threads joined) before `first` is.
        const vorn_sockets::readable_watch others(watched + 1, count - 1, [&view](std::size_t index) {
            std::lock_guard<std::mutex> lock(view.mutex);
            if (!view.readable) view.readable = index + 1;
            view.tellMainThread();
        });
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(view.mutex);
                if (view.due()) break;
            }
            if (first.run(deadline)) {
                std::lock_guard<std::mutex> lock(view.mutex);
                if (!view.readable) view.readable = 0;
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline) break;
        }
    }
    std::lock_guard<std::mutex> lock(view.mutex);
    view.wake = nullptr;
}

}  // namespace

vorn_web_next webNextLine(vorn_web_server* server, char* line, std::size_t capacity, vorn_tcp* const* watched,
                          std::size_t count, std::size_t* readable, long long waitMs) {
    return guarded(vorn_web_quit, nullptr, 0, [&] {
        shared_view& view = server->view;
        {
            std::lock_guard<std::mutex> lock(view.mutex);
            view.readable.reset();
        }
        if (count == 0) {
            waitOnTheQueue(view, waitMs < 0 ? 0 : waitMs);
        } else {
            waitOnConnections(view, watched, count, waitMs < 0 ? 0 : waitMs);
        }
        // Lines sent before a quit are played first.
        std::lock_guard<std::mutex> lock(view.mutex);
        if (!view.toPlay.empty()) {
            tell(view.toPlay.front(), line, capacity);
            view.toPlay.pop_front();
            return vorn_web_line;
        }
        if (view.quit) return vorn_web_quit;
        if (!view.readable) return vorn_web_waited;
        *readable = *view.readable;
        return vorn_web_readable;
    });
}

void webPublish(vorn_web_server* server, const char* state, std::size_t length) {
    guarded(0, nullptr, 0, [&] {
        shared_view& view = server->view;
        std::lock_guard<std::mutex> lock(view.mutex);
        view.state.assign(state, length);
        ++view.version;
        view.changed.notify_all();
        return 0;
    });
}

void webStop(vorn_web_server* server) {
    if (!server) return;
    guarded(0, nullptr, 0, [&] {
        {
            std::lock_guard<std::mutex> lock(server->view.mutex);
            server->view.quit = true;
            server->view.changed.notify_all();
        }
        server->server.stop();
        if (server->serving.joinable()) server->serving.join();
        return 0;
    });
    delete server;
}

}  // namespace vorn_sockets
