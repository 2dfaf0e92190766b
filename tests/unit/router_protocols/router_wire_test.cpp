// The one mapping between a panel's numbers, from 1, and a router's on the wire, from 0: every
// port of the router maps, its last one too, and nothing beside them does.
#include <gtest/gtest.h>

#include "router_wire.h"

using namespace vorn_host;

namespace {

TEST(RouterWire, EveryPortMapsToTheWireAndBackAndNothingBesideThem) {
    EXPECT_EQ(toWire(1, 4), 0);
    EXPECT_EQ(toWire(4, 4), 3);  // the router's last port
    EXPECT_EQ(toWire(5, 4), std::nullopt);
    EXPECT_EQ(toWire(0, 4), std::nullopt);  // nothing picked
    EXPECT_EQ(toWire(-1, 4), std::nullopt);
    EXPECT_EQ(toWire(1, 0), std::nullopt);  // a router of no ports
    EXPECT_EQ(fromWire(0), 1);
    EXPECT_EQ(fromWire(3), 4);
}

}  // namespace
