// A TCP connection through the socket library (sockets/socket_library.h), which holds the
// sockets themselves: each operation's deadline goes to it as the time left.
#include "tcp_connection.h"

#include "socket_loader.h"

namespace vorn_host {

struct tcp_connection::parts {
    const vorn_socket_library* library;
    vorn_tcp* connection;
};

namespace {

long long millisecondsUntil(tcp_connection::clock_type::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - tcp_connection::clock_type::now());
    return left.count() < 0 ? 0 : left.count();
}

}  // namespace

tcp_connection::tcp_connection(std::unique_ptr<parts> parts) : m_parts(std::move(parts)) {}

tcp_connection::~tcp_connection() {
    m_parts->library->tcpClose(m_parts->connection);
}

std::unique_ptr<tcp_connection> tcp_connection::open(const std::string& host, const std::string& port,
                                                     clock_type::time_point deadline, std::string& error) {
    const vorn_socket_library* library = socketLibrary(error);
    if (!library) return nullptr;
    char why[kSocketErrorSize] = "";
    vorn_tcp* connection = library->tcpOpen(host.c_str(), port.c_str(), millisecondsUntil(deadline), why, sizeof why);
    if (!connection) {
        error = why;
        return nullptr;
    }
    return std::unique_ptr<tcp_connection>(new tcp_connection(std::make_unique<parts>(parts{library, connection})));
}

bool tcp_connection::send(const std::string& bytes, clock_type::time_point deadline, std::string& error) {
    char why[kSocketErrorSize] = "";
    if (m_parts->library->tcpSend(m_parts->connection, bytes.data(), bytes.size(), millisecondsUntil(deadline), why,
                                  sizeof why)) {
        return true;
    }
    error = why;
    return false;
}

vorn_tcp* tcp_connection::handle() const {
    return m_parts->connection;
}

tcp_connection::received tcp_connection::receive(char* buffer, std::size_t capacity, clock_type::time_point deadline,
                                                 std::size_t& count) {
    count = 0;
    switch (m_parts->library->tcpReceive(m_parts->connection, buffer, capacity, millisecondsUntil(deadline), &count)) {
    case vorn_tcp_data:
        return received::data;
    case vorn_tcp_timed_out:
        return received::timed_out;
    default:
        return received::closed;
    }
}

}  // namespace vorn_host
