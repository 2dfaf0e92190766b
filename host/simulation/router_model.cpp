#include "router_model.h"

namespace vorn_host {

namespace {

// " (NAME)" after a port's number, when the router named it.
std::string named(const std::map<long, std::string>* labels, long number) {
    if (!labels) return "";
    const auto label = labels->find(number);
    return label == labels->end() ? "" : " (" + label->second + ")";
}

}  // namespace

void router_model::report(long device, const reported_router& reported) {
    for (auto feed = m_feeds.begin(); feed != m_feeds.end();) {
        feed = feed->first.first == device ? m_feeds.erase(feed) : std::next(feed);
    }
    for (const auto& [destination, source] : reported.routing) connect(device, source, destination);
    m_reported[device] = reported;
}

void router_model::print(std::ostream& out) const {
    out << "crosspoints:\n";
    if (m_feeds.empty()) out << "  (none)\n";
    for (const auto& [where, source] : m_feeds) {
        const auto linked = m_reported.find(where.first);
        const reported_router* router = linked == m_reported.end() ? nullptr : &linked->second;
        out << "  device " << where.first << "  destination " << where.second
            << named(router ? &router->destinationLabels : nullptr, where.second) << "  <- source " << source
            << named(router ? &router->sourceLabels : nullptr, source) << "\n";
    }
}

}  // namespace vorn_host
