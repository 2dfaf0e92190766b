#include "terminal.h"

#include <unistd.h>

namespace vorn_host {

bool standardInputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

}  // namespace vorn_host
