#pragma once
// A TCP connection whose every operation has a deadline, the same on Linux and Windows. It runs
// on the caller's thread, through the socket library (sockets/socket_library.h): where sockets
// cannot start, open fails at once, saying why.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

extern "C" struct vorn_tcp;

namespace vorn_host {

class tcp_connection {
public:
    using clock_type = std::chrono::steady_clock;

    // Connects to HOST:PORT; null, with the reason in `error`, when that fails or the deadline
    // passes first.
    static std::unique_ptr<tcp_connection> open(const std::string& host, const std::string& port,
                                                clock_type::time_point deadline, std::string& error);
    ~tcp_connection();
    tcp_connection(const tcp_connection&) = delete;
    tcp_connection& operator=(const tcp_connection&) = delete;

    // Sends all of `bytes`; false, with the reason in `error`, when it cannot by the deadline.
    bool send(const std::string& bytes, clock_type::time_point deadline, std::string& error);

    enum class received { data, timed_out, closed };
    // Receives what has arrived, up to `capacity` bytes, into `buffer`; `count` says how many.
    received receive(char* buffer, std::size_t capacity, clock_type::time_point deadline, std::size_t& count);

    // The socket library's connection, for a wait on several at once (webNextLine); valid while
    // this connection lives.
    vorn_tcp* handle() const;

private:
    struct parts;
    explicit tcp_connection(std::unique_ptr<parts> parts);
    std::unique_ptr<parts> m_parts;
};

}  // namespace vorn_host
