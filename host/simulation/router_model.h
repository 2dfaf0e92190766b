#pragma once
// The simulated router devices: which source feeds each destination.
#include <map>
#include <ostream>
#include <utility>

namespace vorn_host {

class router_model {
public:
    void connect(long device, long source, long destination) { m_feeds[{device, destination}] = source; }
    void print(std::ostream& out) const;
    bool empty() const { return m_feeds.empty(); }

    // (device, destination) -> source
    const std::map<std::pair<long, long>, long>& feeds() const { return m_feeds; }

private:
    std::map<std::pair<long, long>, long> m_feeds;
};

}  // namespace vorn_host
