#include "router_links.h"

#include "whole_number.h"

namespace vorn_host {

bool router_links::add(const std::string& assignment, unsigned timeoutMs, std::string& error) {
    const size_t equals = assignment.find('=');
    const std::optional<long> device = wholeNumber(assignment.substr(0, equals));
    const std::string address = equals == std::string::npos ? "" : videohubAddress(assignment.substr(equals + 1));
    if (!device || address.empty()) {
        error = "--router " + assignment + ": expected DEVICE=videohub://HOST:PORT";
        return false;
    }
    std::unique_ptr<videohub_link> link = videohub_link::open(address, timeoutMs, error);
    if (!link) return false;
    m_links[*device] = std::move(link);
    return true;
}

videohub_link* router_links::linkFor(long device) const {
    const auto found = m_links.find(device);
    return found == m_links.end() ? nullptr : found->second.get();
}

}  // namespace vorn_host
