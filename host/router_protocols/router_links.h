#pragma once
// The real routers that some devices' "RC" commands go to, by device number, as
// `--router DEVICE=videohub://HOST:PORT` or `DEVICE=ember://HOST:PORT/PATH` names them (PATH: the
// matrix's number path in the provider's tree, "0.1.0"). Shared by every script object of a run.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "router_link.h"

namespace vorn_host {

class router_links {
public:
    // "DEVICE=URL": connects; false, with the reason in `error`, when the text is not such an
    // assignment or the router cannot be reached.
    bool add(const std::string& assignment, unsigned timeoutMs, std::string& error);
    // The link for a device, or null when its routes stay in the simulator.
    router_link* linkFor(long device) const;
    // Every link, by device number.
    const std::map<long, std::unique_ptr<router_link>>& all() const { return m_links; }
    // The socket library's connections of the links that are open, for a wait on all of them.
    std::vector<vorn_tcp*> openConnections() const;

private:
    std::map<long, std::unique_ptr<router_link>> m_links;
};

}  // namespace vorn_host
