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
        // A route is a few bytes: it goes out as it is sent, not held for the last one's
        // acknowledgement.
        asio::error_code ignored;
        connection->socket.set_option(asio::ip::tcp::no_delay(true), ignored);
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

// What has arrived, without waiting: a read of the socket in its non-blocking mode.
vorn_tcp_received receiveArrived(vorn_tcp& connection, char* buffer, std::size_t capacity, std::size_t& count) {
    asio::error_code ec;
    connection.socket.non_blocking(true, ec);
    if (!ec) count = connection.socket.read_some(asio::buffer(buffer, capacity), ec);
    asio::error_code ignored;
    connection.socket.non_blocking(false, ignored);
    if (!ec) return vorn_tcp_data;
    return ec == asio::error::would_block || ec == asio::error::try_again ? vorn_tcp_timed_out : vorn_tcp_closed;
}

vorn_tcp_received tcpReceive(vorn_tcp* connection, char* buffer, std::size_t capacity, long long waitMs,
                             std::size_t* count) {
    *count = 0;
    if (waitMs <= 0) {
        return guarded(vorn_tcp_closed, nullptr, 0,
                       [&] { return receiveArrived(*connection, buffer, capacity, *count); });
    }
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

connection_wait::connection_wait(vorn_tcp* connection) : m_connection(connection) {
    m_connection->io.restart();
    // A wait that ends in an error has something to read too: the error, which the read finds.
    m_connection->socket.async_wait(asio::ip::tcp::socket::wait_read, [this](const asio::error_code& ec) {
        if (ec != asio::error::operation_aborted) m_readable = true;
    });
}

// The deadline is a timer of the connection's context, so that the run sleeps until one of its
// three handlers: a run with a deadline of its own would wake every second to look at the clock.
bool connection_wait::run(std::chrono::steady_clock::time_point deadline) {
    asio::io_context& io = m_connection->io;
    asio::steady_timer timer(io, deadline);
    bool over = false;
    timer.async_wait([&over](const asio::error_code&) { over = true; });
    m_woken = false;
    while (!m_readable && !m_woken && !over) io.run_one();
    // The timer's handler refers to this frame: it runs before the frame goes.
    timer.cancel();
    while (!over) io.run_one();
    return m_readable;
}

void connection_wait::wake() {
    asio::post(m_connection->io, [this] { m_woken = true; });
}

// The wait is cancelled and its handler run here, with any wake still queued, so that nothing of
// it is left to end the caller's next operation.
connection_wait::~connection_wait() {
    asio::error_code ignored;
    m_connection->socket.cancel(ignored);
    m_connection->io.restart();
    m_connection->io.poll();
}

// Each connection's own I/O context runs on its wait's thread until the socket can be read; the
// destructor posts the cancel to that context, so that the socket is touched on that thread only.
readable_watch::readable_watch(vorn_tcp* const* connections, std::size_t count, std::function<void(std::size_t)> ready)
    : m_connections(connections, connections + count) {
    for (std::size_t i = 0; i < count; ++i) {
        vorn_tcp* connection = m_connections[i];
        connection->io.restart();
        connection->socket.async_wait(asio::ip::tcp::socket::wait_read, [ready, i](const asio::error_code& ec) {
            if (!ec) ready(i);
        });
        try {
            m_waits.emplace_back([connection] {
                try {
                    connection->io.run();
                } catch (...) {
                }
            });
        } catch (...) {
            // No thread for this one: the waits begun are ended as the destructor ends them.
            m_connections.resize(i + 1);
            stop();
            throw;
        }
    }
}

readable_watch::~readable_watch() {
    stop();
}

void readable_watch::stop() {
    for (vorn_tcp* connection : m_connections) {
        asio::post(connection->io, [connection] {
            asio::error_code ignored;
            connection->socket.cancel(ignored);
        });
    }
    for (std::thread& wait : m_waits) wait.join();
    // A cancel posted after its wait had ended is run now, while no operation of the caller's is
    // pending, so that it cannot end the next one.
    for (vorn_tcp* connection : m_connections) {
        connection->io.restart();
        connection->io.poll();
    }
}

}  // namespace vorn_sockets
