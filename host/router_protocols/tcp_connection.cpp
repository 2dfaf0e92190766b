#include "tcp_connection.h"

#include <asio.hpp>

namespace vorn_host {

struct tcp_connection::parts {
    asio::io_context io;
    asio::ip::tcp::socket socket{io};

    // Runs the one operation that `start` begins until its handler has run or `deadline` has
    // passed; then cancels it and lets the handler see that. The error is timed_out then.
    template <typename Start>
    asio::error_code await(Start&& start, clock_type::time_point deadline, std::size_t& transferred) {
        bool done = false;
        asio::error_code result;
        start([&](const asio::error_code& ec, std::size_t n) {
            done = true;
            result = ec;
            transferred = n;
        });
        io.restart();
        io.run_until(deadline);
        if (done) return result;
        asio::error_code ignored;
        socket.cancel(ignored);
        io.restart();
        io.run();
        return asio::error::timed_out;
    }
};

tcp_connection::tcp_connection(std::unique_ptr<parts> parts) : m_parts(std::move(parts)) {}

tcp_connection::~tcp_connection() {
    asio::error_code ignored;
    m_parts->socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_parts->socket.close(ignored);
}

std::unique_ptr<tcp_connection> tcp_connection::open(const std::string& host, const std::string& port,
                                                     clock_type::time_point deadline, std::string& error) {
    auto parts = std::make_unique<tcp_connection::parts>();
    asio::ip::tcp::resolver resolver(parts->io);
    asio::error_code ec;
    const asio::ip::tcp::resolver::results_type endpoints = resolver.resolve(host, port, ec);
    if (ec) {
        error = "cannot resolve " + host + ":" + port + " (" + ec.message() + ")";
        return nullptr;
    }
    std::size_t unused = 0;
    ec = parts->await(
        [&](auto handler) {
            asio::async_connect(parts->socket, endpoints,
                                [handler](const asio::error_code& e, const asio::ip::tcp::endpoint&) { handler(e, 0); });
        },
        deadline, unused);
    if (ec == asio::error::timed_out) {
        error = "cannot connect to " + host + ":" + port + " in time";
        return nullptr;
    }
    if (ec) {
        error = "cannot connect to " + host + ":" + port + " (" + ec.message() + ")";
        return nullptr;
    }
    return std::unique_ptr<tcp_connection>(new tcp_connection(std::move(parts)));
}

bool tcp_connection::send(const std::string& bytes, clock_type::time_point deadline, std::string& error) {
    std::size_t sent = 0;
    const asio::error_code ec = m_parts->await(
        [&](auto handler) { asio::async_write(m_parts->socket, asio::buffer(bytes), handler); }, deadline, sent);
    if (!ec) return true;
    error = ec == asio::error::timed_out ? "could not send in time" : "could not send (" + ec.message() + ")";
    return false;
}

tcp_connection::received tcp_connection::receive(char* buffer, std::size_t capacity, clock_type::time_point deadline,
                                                 std::size_t& count) {
    count = 0;
    const asio::error_code ec = m_parts->await(
        [&](auto handler) { m_parts->socket.async_read_some(asio::buffer(buffer, capacity), handler); }, deadline,
        count);
    if (!ec) return received::data;
    return ec == asio::error::timed_out ? received::timed_out : received::closed;
}

}  // namespace vorn_host
