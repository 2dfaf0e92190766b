#pragma once
// The TCP half of the socket library (socket_library.h says what each does).
#include "socket_library.h"

namespace vorn_sockets {

vorn_tcp* tcpOpen(const char* host, const char* port, long long waitMs, char* error, std::size_t errorSize);
int tcpSend(vorn_tcp* connection, const char* bytes, std::size_t length, long long waitMs, char* error,
            std::size_t errorSize);
vorn_tcp_received tcpReceive(vorn_tcp* connection, char* buffer, std::size_t capacity, long long waitMs,
                             std::size_t* count);
void tcpClose(vorn_tcp* connection);

}  // namespace vorn_sockets
