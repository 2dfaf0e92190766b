#pragma once
// A link to one matrix of an Ember+ provider: S101 frames over TCP (s101_framing.h) carrying
// the Glow tree (glow_reader.h). On connecting it walks the tree down to the matrix's number
// path, asking for each level's directory, and reads the matrix's size and connections. A take
// is one absolute connection, target = destination and source = source on the wire. It is
// confirmed when the provider reports that target connected to that source (tally, modified, or
// a later matrix update); a pending disposition waits, within the time limit; a locked one is
// refused and named. The matrix's first label location names the ports: below it, node 1 holds
// a parameter a target and node 2 one a source, each with the name as its value. Keep-alive
// requests are answered whenever frames are read.
//
// Every wait has the link's time limit. Frames and messages beyond the decoder's limits are
// dropped, and a provider that keeps sending them is cut off. The reconnect and "a route is sent
// once" are those of every router link (router_link.h).
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>
#include <string>

#include "glow_reader.h"
#include "link_backoff.h"
#include "router_link.h"
#include "s101_framing.h"

namespace vorn_host {

class tcp_connection;

class ember_link final : public router_link {
public:
    // Connects to "HOST:PORT" and reads the matrix at `matrix`; null, with the reason in `error`,
    // when the provider cannot be reached or shows no such matrix within `timeoutMs`.
    static std::unique_ptr<ember_link> open(const std::string& address, const glow::number_path& matrix,
                                            unsigned timeoutMs, std::string& error);
    ~ember_link() override;
    ember_link(const ember_link&) = delete;
    ember_link& operator=(const ember_link&) = delete;

    int inputs() const override { return m_sources; }
    int outputs() const override { return m_targets; }
    route_result route(int destination, int source) override;
    const std::string& lastProblem() const override { return m_problem; }
    const router_view& reported() const override { return m_view; }
    bool refresh(unsigned waitMs) override;
    const tcp_connection* connection() const override;

private:
    using clock_type = std::chrono::steady_clock;

    ember_link(const std::string& address, const glow::number_path& matrix, unsigned timeoutMs);

    bool connect();
    // Asks for the directory at each path and waits until `done` holds; false when it did not in
    // time.
    bool walk(const std::vector<glow::number_path>& paths, clock_type::time_point deadline,
              const std::function<bool()>& done);
    // Reads the labels where the matrix says they are: the nodes 1 (targets) and 2 (sources)
    // below its first label location, each a parameter a port whose value is the name.
    void readLabels(clock_type::time_point deadline);
    bool seen(const glow::number_path& path) const;
    bool reconnect();
    bool send(const glow::bytes& payload, clock_type::time_point deadline);
    // Reads and takes in messages until `done` holds, or the deadline passes, or the link is
    // cut off; says whether `done` came to hold.
    bool receiveUntil(clock_type::time_point deadline, const std::function<bool()>& done);
    void takeIn(const std::vector<glow::element>& elements);
    void takeInMatrix(const glow::element& matrix);
    void takeInLabel(const glow::element& parameter);
    void cutOff(const std::string& why);
    std::string where() const;

    enum class link_state { open, lost, overrun };

    std::string m_address;
    glow::number_path m_matrix;
    unsigned m_timeoutMs;
    std::unique_ptr<tcp_connection> m_connection;
    s101::s101_decoder m_decoder;
    link_state m_state = link_state::lost;
    std::string m_problem;
    link_backoff m_backoff;
    bool m_matrixSeen = false;
    int m_targets = 0, m_sources = 0;
    router_view m_view;
    std::optional<glow::number_path> m_labelBase;
    // The connections reported since the route in flight was sent.
    std::vector<glow::connection> m_sinceRoute;
    // The paths of the elements seen while connecting, to walk the tree by.
    bool m_walking = false;
    std::vector<glow::number_path> m_seenPaths;
};

// "ember://HOST:PORT/PATH" -> "HOST:PORT" and the path; false when the text is not such an
// address.
bool emberAddress(const std::string& url, std::string& address, glow::number_path& matrix);

}  // namespace vorn_host
