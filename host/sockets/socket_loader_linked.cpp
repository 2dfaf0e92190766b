// The socket library linked into the program: always there.
#include "socket_loader.h"

namespace vorn_host {

const vorn_socket_library* socketLibrary(std::string&) {
    return vorn_socket_library_table();
}

}  // namespace vorn_host
