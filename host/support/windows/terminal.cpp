#include "terminal.h"

#include <io.h>

namespace vorn_host {

bool standardInputIsTerminal() {
    return _isatty(0) != 0;
}

}  // namespace vorn_host
