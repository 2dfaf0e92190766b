#include "web_server_table.h"

#include "web_server.h"

namespace vorn_sockets {

void addWebServer(vorn_socket_library& table) {
    table.webStart = webStart;
    table.webNextLine = webNextLine;
    table.webPublish = webPublish;
    table.webStop = webStop;
}

}  // namespace vorn_sockets
