#include "router_view.h"

namespace vorn_host {

namespace {

bool isPort(long number) {
    return number >= 0 && number < kMostRouterPorts;
}

}  // namespace

bool keepRoute(router_view& view, long destination, long source) {
    if (!isPort(destination) || !isPort(source)) return false;
    int& fed = view.routing.try_emplace(static_cast<int>(destination), -1).first->second;
    if (fed != source) ++view.changes;
    fed = static_cast<int>(source);
    return true;
}

void keepUnrouted(router_view& view, long destination) {
    if (isPort(destination) && view.routing.erase(static_cast<int>(destination))) ++view.changes;
}

bool keepLabel(router_view& view, port_side side, long number, const std::string& label) {
    if (!isPort(number)) return false;
    auto& labels = side == port_side::source ? view.sourceLabels : view.destinationLabels;
    const std::string kept = label.substr(0, kMostLabelBytes);
    std::string& held = labels[static_cast<int>(number)];
    if (held != kept) ++view.changes;
    held = kept;
    return true;
}

}  // namespace vorn_host
