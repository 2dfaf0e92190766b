// The TCP connection where vorn-host is built without sockets: the 32-bit Windows build, whose
// import of Windows' sockets stops the whole program from starting under Wine's 32-bit mode.
// Every connection fails, saying so; the 64-bit Windows build and the Linux ones connect.
#include "tcp_connection.h"

namespace vorn_host {

struct tcp_connection::parts {};

tcp_connection::tcp_connection(std::unique_ptr<parts> parts) : m_parts(std::move(parts)) {}

tcp_connection::~tcp_connection() = default;

std::unique_ptr<tcp_connection> tcp_connection::open(const std::string& host, const std::string& port,
                                                     clock_type::time_point, std::string& error) {
    error = "cannot connect to " + host + ":" + port + ": this vorn-host (32-bit Windows) is built without router "
            "links; use the 64-bit one";
    return nullptr;
}

bool tcp_connection::send(const std::string&, clock_type::time_point, std::string& error) {
    error = "not connected";
    return false;
}

tcp_connection::received tcp_connection::receive(char*, std::size_t, clock_type::time_point, std::size_t& count) {
    count = 0;
    return received::closed;
}

}  // namespace vorn_host
