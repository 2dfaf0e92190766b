#include "check_module.h"

namespace vorn_host {

opened_module openModule(const check_context& context) {
    opened_module opened;
    opened.library = module_library::open(context.modulePath, opened.error);
    if (opened.library) opened.setup.factory = opened.library->factory();
    opened.setup.panelDirs = context.panelDirs;
    return opened;
}

check_outcome outcomeOf(const direct_script& script, const std::string& passReason) {
    if (!script.clean()) return check_outcome::failed(firstLine(script.problems()));
    return check_outcome::passed(passReason);
}

}  // namespace vorn_host
