// The socket library's table: the TCP half always, the HTTP half where the library is built
// with the browser view's server (web_server_table.cpp, or its absence in no_web_server.cpp).
#include "socket_library.h"

#include "tcp_sockets.h"
#include "web_server_table.h"

VORN_SOCKETS_EXPORT const vorn_socket_library* vorn_socket_library_table() {
    static const vorn_socket_library table = [] {
        vorn_socket_library made{};
        made.size = sizeof(vorn_socket_library);
        made.tcpOpen = vorn_sockets::tcpOpen;
        made.tcpSend = vorn_sockets::tcpSend;
        made.tcpReceive = vorn_sockets::tcpReceive;
        made.tcpClose = vorn_sockets::tcpClose;
        vorn_sockets::addWebServer(made);
        return made;
    }();
    return &table;
}
