#include "check_module.h"

opened_module openModule(const check_context& context) {
    opened_module opened;
    opened.library = module_library::open(context.modulePath, opened.error);
    if (opened.library) opened.setup.factory = opened.library->factory();
    opened.setup.panelDirs = context.panelDirs;
    return opened;
}

std::vector<std::pair<std::string, std::string>> shownControls(const module_setup& setup) {
    std::ostringstream out;
    session_report report(out, output_mode::quiet);
    simulated_host host(0, setup.panelDirs, report);
    vorn_client_callback* script = setup.factory(&host, setup.path.c_str());
    auto controls = host.panels().controls();
    vorn_delete_script(script);
    return controls;
}

check_outcome outcomeOf(const direct_script& script, const std::string& passReason) {
    if (!script.clean()) return check_outcome::failed(firstLine(script.problems()));
    return check_outcome::passed(passReason);
}
