// The host's crosspoint table: a device linked to a real router shows what that router reported,
// named as the router names its ports; simulated devices keep their own feeds.
#include <sstream>

#include <gtest/gtest.h>

#include "router_model.h"

using vorn_host::router_model;

namespace {

std::string printed(const router_model& model) {
    std::ostringstream out;
    model.print(out);
    return out.str();
}

}  // namespace

TEST(RouterModel, AReportReplacesTheLinkedDeviceFeedsAndNoOther) {
    router_model model;
    model.connect(5, 2, 1);
    model.connect(12, 7, 3);
    model.connect(12, 9, 4);
    router_model::reported_router reported;
    reported.sources = reported.destinations = 16;
    reported.routing = {{3, 7}, {5, 10}};
    model.report(12, reported);
    EXPECT_EQ(model.feeds(), (std::map<std::pair<long, long>, long>{{{5, 1}, 2}, {{12, 3}, 7}, {{12, 5}, 10}}));
    EXPECT_EQ(model.reported().at(12).sources, 16);
    EXPECT_EQ(model.reported().count(5), 0u);
}

TEST(RouterModel, LinkedPortsArePrintedWithTheirNamesAndOthersAsBefore) {
    router_model model;
    model.connect(5, 2, 1);
    router_model::reported_router reported;
    reported.routing = {{3, 7}, {4, 8}};
    reported.sourceLabels = {{7, "CAM 7"}};
    reported.destinationLabels = {{3, "MON 3"}};
    model.report(12, reported);
    EXPECT_EQ(printed(model),
              "crosspoints:\n"
              "  device 5  destination 1  <- source 2\n"
              "  device 12  destination 3 (MON 3)  <- source 7 (CAM 7)\n"
              "  device 12  destination 4  <- source 8\n");
}
