#pragma once
// The simulated router devices: which source feeds each destination; for a device linked to a
// real router, what that router reported, its ports' names too.
#include <map>
#include <ostream>
#include <string>
#include <utility>

namespace vorn_host {

class router_model {
public:
    void connect(long device, long source, long destination) { m_feeds[{device, destination}] = source; }
    void print(std::ostream& out) const;
    bool empty() const { return m_feeds.empty(); }

    // (device, destination) -> source
    const std::map<std::pair<long, long>, long>& feeds() const { return m_feeds; }

    // What a real router linked to the device reported, numbered as panels number ports: its
    // size, its routing (which replaces the device's feeds) and its ports' names.
    struct reported_router {
        long sources = 0, destinations = 0;
        std::map<long, long> routing;  // destination -> source
        std::map<long, std::string> sourceLabels, destinationLabels;
    };
    void report(long device, const reported_router& reported);
    // The devices linked to real routers, with what each reported.
    const std::map<long, reported_router>& reported() const { return m_reported; }

private:
    std::map<std::pair<long, long>, long> m_feeds;
    std::map<long, reported_router> m_reported;
};

}  // namespace vorn_host
