// TCP connections whose every operation has a deadline, on standalone asio: the same on Linux
// and Windows. Each operation runs the connection's own I/O context on the caller's thread
// until it ends or its deadline passes, and is then cancelled.
#include "tcp_sockets.h"

#include <asio.hpp>

#include "socket_errors.h"

struct vorn_tcp {
    asio::io_context io;
    asio::ip::tcp::socket socket{io};

    // Runs the one operation that `start` begins until its handler has run or the deadline has
    // passed; then cancels it and lets the handler see that. The error is timed_out then.
    template <typename Start>
    asio::error_code await(Start&& start, long long waitMs, std::size_t& transferred) {
        bool done = false;
        asio::error_code result;
        start([&](const asio::error_code& ec, std::size_t n) {
            done = true;
            result = ec;
            transferred = n;
        });
        io.restart();
        io.run_for(std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs));
        if (done) return result;
        asio::error_code ignored;
        socket.cancel(ignored);
        io.restart();
        io.run();
        return asio::error::timed_out;
    }
};

namespace vorn_sockets {

using vorn_sockets::guarded;
using vorn_sockets::tell;

vorn_tcp* tcpOpen(const char* host, const char* port, long long waitMs, char* error, std::size_t errorSize) {
    return guarded<vorn_tcp*>(nullptr, error, errorSize, [&]() -> vorn_tcp* {
        const std::string address = std::string(host) + ":" + port;
        auto connection = std::make_unique<vorn_tcp>();
        asio::ip::tcp::resolver resolver(connection->io);
        asio::error_code ec;
        const asio::ip::tcp::resolver::results_type endpoints = resolver.resolve(host, port, ec);
        if (ec) {
            tell("cannot resolve " + address + " (" + ec.message() + ")", error, errorSize);
            return nullptr;
        }
        std::size_t unused = 0;
        ec = connection->await(
            [&](auto handler) {
                asio::async_connect(
                    connection->socket, endpoints,
                    [handler](const asio::error_code& e, const asio::ip::tcp::endpoint&) { handler(e, 0); });
            },
            waitMs, unused);
        if (ec) {
            tell(ec == asio::error::timed_out ? "cannot connect to " + address + " in time"
                                              : "cannot connect to " + address + " (" + ec.message() + ")",
                 error, errorSize);
            return nullptr;
        }
        return connection.release();
    });
}

int tcpSend(vorn_tcp* connection, const char* bytes, std::size_t length, long long waitMs, char* error,
            std::size_t errorSize) {
    return guarded(0, error, errorSize, [&] {
        std::size_t sent = 0;
        const asio::error_code ec = connection->await(
            [&](auto handler) { asio::async_write(connection->socket, asio::buffer(bytes, length), handler); }, waitMs,
            sent);
        if (!ec) return 1;
        tell(ec == asio::error::timed_out ? "could not send in time" : "could not send (" + ec.message() + ")", error,
             errorSize);
        return 0;
    });
}

vorn_tcp_received tcpReceive(vorn_tcp* connection, char* buffer, std::size_t capacity, long long waitMs,
                             std::size_t* count) {
    *count = 0;
    return guarded(vorn_tcp_closed, nullptr, 0, [&] {
        const asio::error_code ec = connection->await(
            [&](auto handler) { connection->socket.async_read_some(asio::buffer(buffer, capacity), handler); }, waitMs,
            *count);
        if (!ec) return vorn_tcp_data;
        return ec == asio::error::timed_out ? vorn_tcp_timed_out : vorn_tcp_closed;
    });
}

void tcpClose(vorn_tcp* connection) {
    if (!connection) return;
    asio::error_code ignored;
    connection->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    connection->socket.close(ignored);
    delete connection;
}

}  // namespace vorn_sockets
