#pragma once
// A connection to a router that speaks the Videohub Ethernet protocol: text blocks over TCP,
// each a header line ending in ':' and its lines, ended by a blank line (videohub_reader.h).
// The router sends its prelude (size, routing) on connecting, acknowledges each block with
// "ACK" or "NAK", and reports routes that changed in "VIDEO OUTPUT ROUTING:" status blocks, and
// the names of its ports in "INPUT LABELS:" and "OUTPUT LABELS:" blocks ("N name" a line).
// One block is in flight at a time: a route waits for its acknowledgement, and then for the
// status that confirms it.
//
// Every wait has the link's time limit: connecting, the prelude, sending, the acknowledgement
// and the confirmation. A router that breaks the protocol (a block beyond the reader's limit)
// is cut off. A router that is cut off, or that closes the connection, is connected to again
// when the next route comes, after the shared backoff (link_backoff.h); a route is never sent
// again on the link's own.
//
// Built on standalone asio, so that it is the same on Linux and Windows. Runs on the caller's
// thread: each wait runs the link's own I/O context until the operation ends or time is up.
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link_backoff.h"
#include "router_link.h"
#include "videohub_reader.h"

namespace vorn_host {

class tcp_connection;

class videohub_link final : public router_link {
public:
    // Connects to "HOST:PORT" and reads the prelude; null, with the reason in `error`, when the
    // router cannot be reached or sends no prelude within `timeoutMs`.
    static std::unique_ptr<videohub_link> open(const std::string& address, unsigned timeoutMs, std::string& error);
    ~videohub_link();
    videohub_link(const videohub_link&) = delete;
    videohub_link& operator=(const videohub_link&) = delete;

    int inputs() const override { return m_inputs; }
    int outputs() const override { return m_outputs; }
    // Confirmed once acknowledged ("ACK") and reported in place in a routing block.
    route_result route(int destination, int source) override;
    const std::string& lastProblem() const override { return m_problem; }
    const router_view& reported() const override { return m_view; }
    bool refresh(unsigned waitMs) override;
    const tcp_connection* connection() const override;

private:
    using clock_type = std::chrono::steady_clock;
    using block = std::vector<std::string>;

    videohub_link(const std::string& address, unsigned timeoutMs);

    // Connects and reads the prelude; false, with the reason in m_problem, when it cannot.
    bool connect();
    // Connects again after a loss, when the backoff allows; false when it did not.
    bool reconnect();
    // The next block, or an empty one when none came in time, the connection closed, or the
    // router overran the reader (see m_state).
    block nextBlock(clock_type::time_point deadline);
    // Takes in what a block reports (size, routing); returns its header.
    std::string takeIn(const block& lines);
    void cutOff(const std::string& why);
    route_result whyNothingCame() const;

    enum class link_state { open, lost, overrun };

    std::string m_address;
    unsigned m_timeoutMs;
    std::unique_ptr<tcp_connection> m_connection;
    videohub_reader m_reader;
    link_state m_state = link_state::lost;
    std::string m_problem;
    link_backoff m_backoff;
    int m_inputs = 0, m_outputs = 0;
    router_view m_view;
    std::vector<std::pair<int, int>> m_lastReported;  // the routes of the last status block
};

// "videohub://HOST:PORT" -> "HOST:PORT"; empty when the text is not such an address.
std::string videohubAddress(const std::string& url);

}  // namespace vorn_host
