#pragma once
// A link to a real router that some device's routes go to: what every protocol's link offers
// the simulated host. Numbers are the wire's (router_wire.h maps the panel's). A link runs on the
// caller's thread, and every wait it makes has its time limit. A route is sent once: a link
// never sends it again on its own, and a lost connection is made again only when the next route
// comes, after a wait that grows with each failed attempt (link_backoff.h).
#include <string>

#include "router_view.h"
#include "tcp_connection.h"

namespace vorn_host {

class router_link {
public:
    virtual ~router_link() = default;

    // The router's size as it announced it: sources and destinations on the wire.
    virtual int inputs() const = 0;
    virtual int outputs() const = 0;

    enum class route_result {
        confirmed,       // the router reported the destination connected to the source
        unconfirmed,     // accepted, never reported in place
        nak,             // refused
        locked,          // refused: the destination is locked (lastProblem names the lock)
        no_ack,          // no word within the time limit
        lost,            // the connection closed, or could not be made again
        reply_too_long,  // the router sent more than the reader's limit, and was cut off
    };
    // Sends one route and waits for the router's word on it.
    virtual route_result route(int destination, int source) = 0;
    // Why the last route failed, for a breach's detail.
    virtual const std::string& lastProblem() const = 0;

    // The routing and the labels as the router last reported them.
    virtual const router_view& reported() const = 0;
    // Takes in what the router sent of its own accord since (routes that another controller
    // made, labels renamed), waiting at most `waitMs` for it; true when what it reported
    // changed. Nothing is sent, and a lost link stays lost until the next route.
    virtual bool refresh(unsigned waitMs) = 0;
    // The open connection to the router, whose bytes a refresh takes in; null while there is none.
    virtual const tcp_connection* connection() const = 0;
};

}  // namespace vorn_host
