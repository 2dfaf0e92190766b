#pragma once
// Puts the web server's functions into the socket library's table, or leaves them null where the
// library is built without the server (chosen in CMake).
#include "socket_library.h"

namespace vorn_sockets {

void addWebServer(vorn_socket_library& table);

}  // namespace vorn_sockets
