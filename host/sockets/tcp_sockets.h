#pragma once
// The TCP half of the socket library (socket_library.h says what each does).
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "socket_library.h"

namespace vorn_sockets {

vorn_tcp* tcpOpen(const char* host, const char* port, long long waitMs, char* error, std::size_t errorSize);
int tcpSend(vorn_tcp* connection, const char* bytes, std::size_t length, long long waitMs, char* error,
            std::size_t errorSize);
vorn_tcp_received tcpReceive(vorn_tcp* connection, char* buffer, std::size_t capacity, long long waitMs,
                             std::size_t* count);
void tcpClose(vorn_tcp* connection);

// A wait on one connection on the caller's own thread: its I/O context is run there until the
// connection has bytes to read (or is closed by its peer), until wake() is called from any
// thread, or until the deadline. The connection is not used otherwise while this lives; its
// destructor ends the wait, and the connection is its caller's again.
class connection_wait {
public:
    explicit connection_wait(vorn_tcp* connection);
    ~connection_wait();
    connection_wait(const connection_wait&) = delete;
    connection_wait& operator=(const connection_wait&) = delete;

    // Runs until one of the three; true when the connection can be read.
    bool run(std::chrono::steady_clock::time_point deadline);
    // Ends a run now, or the next one at once. Safe from any thread.
    void wake();

private:
    vorn_tcp* m_connection;
    // Set by handlers, which run on the caller's thread inside run().
    bool m_readable = false;
    bool m_woken = false;
};

// Waits, each on a thread of its own, until one of `count` connections has bytes to read or is
// closed by its peer, and calls `ready` with its index then, once a connection, from that thread.
// The connections are not used otherwise while it lives; its destructor ends the waits left and
// joins their threads, and the connections are their caller's again.
class readable_watch {
public:
    readable_watch(vorn_tcp* const* connections, std::size_t count, std::function<void(std::size_t)> ready);
    ~readable_watch();
    readable_watch(const readable_watch&) = delete;
    readable_watch& operator=(const readable_watch&) = delete;

private:
    void stop();

    std::vector<vorn_tcp*> m_connections;
    std::vector<std::thread> m_waits;
};

}  // namespace vorn_sockets
