// What a link keeps of a router's reports: routes and labels within fixed limits, whatever the
// router sends, and a count of changes that moves only when something did change.
#include <string>

#include <gtest/gtest.h>

#include "router_view.h"

using vorn_host::keepLabel;
using vorn_host::keepRoute;
using vorn_host::keepUnrouted;
using vorn_host::kMostLabelBytes;
using vorn_host::kMostRouterPorts;
using vorn_host::port_side;
using vorn_host::router_view;

TEST(RouterView, RoutesBeyondThePortLimitAreNotKept) {
    router_view view;
    EXPECT_TRUE(keepRoute(view, 0, kMostRouterPorts - 1));
    EXPECT_TRUE(keepRoute(view, kMostRouterPorts - 1, 0));
    EXPECT_FALSE(keepRoute(view, kMostRouterPorts, 0));
    EXPECT_FALSE(keepRoute(view, 0, kMostRouterPorts));
    EXPECT_FALSE(keepRoute(view, -1, 0));
    EXPECT_FALSE(keepRoute(view, 1, -1));
    EXPECT_EQ(view.routing.size(), 2u);
    EXPECT_EQ(view.routing.at(0), kMostRouterPorts - 1);
}

TEST(RouterView, LabelsAreCutAtTheLimitAndKeptBySide) {
    router_view view;
    EXPECT_TRUE(keepLabel(view, port_side::source, 3, std::string(kMostLabelBytes + 40, 'n')));
    EXPECT_TRUE(keepLabel(view, port_side::destination, 3, "MON 4"));
    EXPECT_FALSE(keepLabel(view, port_side::source, kMostRouterPorts, "beyond"));
    EXPECT_FALSE(keepLabel(view, port_side::destination, -1, "before"));
    EXPECT_EQ(view.sourceLabels.at(3), std::string(kMostLabelBytes, 'n'));
    EXPECT_EQ(view.destinationLabels.at(3), "MON 4");
    EXPECT_EQ(view.sourceLabels.size() + view.destinationLabels.size(), 2u);
}

// A reader tells from the count whether a refresh brought anything new.
TEST(RouterView, OnlyARealChangeIsCounted) {
    router_view view;
    keepRoute(view, 2, 6);
    keepLabel(view, port_side::source, 6, "CAM 7");
    const unsigned long afterFirst = view.changes;
    EXPECT_EQ(afterFirst, 2u);
    keepRoute(view, 2, 6);
    keepLabel(view, port_side::source, 6, "CAM 7");
    keepUnrouted(view, 9);
    keepRoute(view, kMostRouterPorts, 1);
    EXPECT_EQ(view.changes, afterFirst);
    keepRoute(view, 2, 0);
    keepUnrouted(view, 2);
    keepLabel(view, port_side::source, 6, "CAM 7b");
    EXPECT_EQ(view.changes, afterFirst + 3);
    EXPECT_TRUE(view.routing.empty());
}
