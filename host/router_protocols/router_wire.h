#pragma once
// Where a panel's numbers meet a router's: panels number sources and destinations from 1, the
// router protocols number them from 0 on the wire. This is the one place that maps them.
#include <optional>

namespace vorn_host {

// The wire's number for a panel's, or null when it cannot go on the wire: 0 (nothing picked),
// a negative number, or one beyond the router's `size`.
inline std::optional<int> toWire(long panelNumber, int size) {
    if (panelNumber < 1 || panelNumber > size) return std::nullopt;
    return static_cast<int>(panelNumber - 1);
}

inline long fromWire(int wireNumber) {
    return static_cast<long>(wireNumber) + 1;
}

}  // namespace vorn_host
