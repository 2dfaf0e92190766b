#include "router_links.h"

#include "ember_link.h"
#include "videohub_link.h"
#include "whole_number.h"

namespace vorn_host {

namespace {

const char kExpected[] = "DEVICE=videohub://HOST:PORT or DEVICE=ember://HOST:PORT/PATH";

// The link a URL names, by its scheme; null, with the reason in `error`, when it names none or
// the router cannot be reached.
std::unique_ptr<router_link> openLink(const std::string& url, unsigned timeoutMs, std::string& error) {
    std::string address;
    glow::number_path matrix;
    if (emberAddress(url, address, matrix)) return ember_link::open(address, matrix, timeoutMs, error);
    address = videohubAddress(url);
    if (!address.empty()) return videohub_link::open(address, timeoutMs, error);
    error = "";
    return nullptr;
}

}  // namespace

bool router_links::add(const std::string& assignment, unsigned timeoutMs, std::string& error) {
    const size_t equals = assignment.find('=');
    const std::optional<long> device = wholeNumber(assignment.substr(0, equals));
    std::unique_ptr<router_link> link;
    if (device && equals != std::string::npos) link = openLink(assignment.substr(equals + 1), timeoutMs, error);
    if (link) {
        m_links[*device] = std::move(link);
        return true;
    }
    if (error.empty()) error = "--router " + assignment + ": expected " + kExpected;
    return false;
}

router_link* router_links::linkFor(long device) const {
    const auto found = m_links.find(device);
    return found == m_links.end() ? nullptr : found->second.get();
}

std::vector<vorn_tcp*> router_links::openConnections() const {
    std::vector<vorn_tcp*> open;
    for (const auto& [device, link] : m_links) {
        if (const tcp_connection* connection = link->connection()) open.push_back(connection->handle());
    }
    return open;
}

}  // namespace vorn_host
