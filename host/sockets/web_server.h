#pragma once
// The HTTP half of the socket library (socket_library.h says what each does): the browser
// view's server, with every request let in or refused by the door (web_door.h).
#include "socket_library.h"

namespace vorn_sockets {

vorn_web_server* webStart(const vorn_web_settings* settings, char* error, std::size_t errorSize);
vorn_web_next webNextLine(vorn_web_server* server, char* line, std::size_t capacity, vorn_tcp* const* watched,
                          std::size_t count, std::size_t* readable, long long waitMs);
void webPublish(vorn_web_server* server, const char* state, std::size_t length);
void webStop(vorn_web_server* server);

}  // namespace vorn_sockets
