#include "router_model.h"

namespace vorn_host {

void router_model::print(std::ostream& out) const {
    out << "crosspoints:\n";
    if (m_feeds.empty()) out << "  (none)\n";
    for (const auto& [where, source] : m_feeds) {
        out << "  device " << where.first << "  destination " << where.second << "  <- source " << source << "\n";
    }
}

}  // namespace vorn_host
