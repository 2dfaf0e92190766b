#pragma once
// What a router reported of itself, in the wire's numbers: its routing and the names of its
// ports. Every link keeps it through these functions, which hold it within fixed limits however
// much a router sends: no port numbered kMostRouterPorts or beyond, no label longer than
// kMostLabelBytes.
#include <cstddef>
#include <map>
#include <string>

namespace vorn_host {

const int kMostRouterPorts = 65536;
const std::size_t kMostLabelBytes = 128;

struct router_view {
    std::map<int, int> routing;  // destination -> source
    // The names it gave its sources and destinations; empty where it gave none.
    std::map<int, std::string> sourceLabels, destinationLabels;
    // Counts the changes the functions below made: a reader tells from it that something did.
    unsigned long changes = 0;
};

// A route the router reported; false, keeping nothing, when a number is beyond the limits.
bool keepRoute(router_view& view, long destination, long source);
// A destination the router reported as fed by nothing.
void keepUnrouted(router_view& view, long destination);
enum class port_side { source, destination };
// A port's name, cut at kMostLabelBytes; false, keeping nothing, when the number is beyond.
bool keepLabel(router_view& view, port_side side, long number, const std::string& label);

}  // namespace vorn_host
