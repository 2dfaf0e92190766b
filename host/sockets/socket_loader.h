#pragma once
// Finds the socket library (socket_library.h): on Windows by loading vorn-host-sockets.dll from
// beside the program, the first time it is asked for; elsewhere, the one linked in. The DLL, once
// loaded, stays for the life of the program.
#include <string>

#include "socket_library.h"

namespace vorn_host {

// The library, or null with one line in `why` that names why sockets cannot start here.
const vorn_socket_library* socketLibrary(std::string& why);

}  // namespace vorn_host
