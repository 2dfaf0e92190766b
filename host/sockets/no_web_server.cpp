// The socket library without the browser view's server: where cpp-httplib is not to be had.
#include "web_server_table.h"

namespace vorn_sockets {

void addWebServer(vorn_socket_library&) {}

}  // namespace vorn_sockets
