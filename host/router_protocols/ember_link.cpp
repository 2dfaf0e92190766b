#include "ember_link.h"

#include <algorithm>

#include "tcp_connection.h"

namespace vorn_host {

namespace {

const char kScheme[] = "ember://";
const std::size_t kReceiveChunk = 4096;
// A provider whose frames the decoder keeps dropping has left the protocol.
const unsigned kMostBadFrames = 64;
// The connections a route's wait keeps, the latest ones, against a provider that floods them.
const std::size_t kMostReported = 4096;

std::string asText(const glow::bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

bool emberAddress(const std::string& url, std::string& address, glow::number_path& matrix) {
    const std::string scheme = kScheme;
    if (url.compare(0, scheme.size(), scheme) != 0) return false;
    const std::size_t slash = url.find('/', scheme.size());
    if (slash == std::string::npos) return false;
    address = url.substr(scheme.size(), slash - scheme.size());
    const auto path = glow::parsePath(url.substr(slash + 1));
    if (address.find(':') == std::string::npos || !path) return false;
    matrix = *path;
    return true;
}

ember_link::ember_link(const std::string& address, const glow::number_path& matrix, unsigned timeoutMs)
    : m_address(address), m_matrix(matrix), m_timeoutMs(timeoutMs) {}

ember_link::~ember_link() = default;

std::unique_ptr<ember_link> ember_link::open(const std::string& address, const glow::number_path& matrix,
                                             unsigned timeoutMs, std::string& error) {
    std::unique_ptr<ember_link> link(new ember_link(address, matrix, timeoutMs));
    if (link->connect()) return link;
    error = link->m_problem;
    return nullptr;
}

std::string ember_link::where() const {
    return m_address + " matrix " + glow::pathText(m_matrix);
}

// Asks for the directory of the root and of each level down to the matrix, each answered before
// the next is asked, then for the matrix itself, which must say its size; then for its labels,
// which it may lack.
bool ember_link::connect() {
    const auto deadline = clock_type::now() + std::chrono::milliseconds(m_timeoutMs);
    const std::size_t colon = m_address.rfind(':');
    m_connection = tcp_connection::open(m_address.substr(0, colon), m_address.substr(colon + 1), deadline, m_problem);
    if (!m_connection) return false;
    m_decoder = s101::s101_decoder();
    m_state = link_state::open;
    m_matrixSeen = false;
    m_walking = true;
    m_seenPaths.clear();
    if (!send(glow::getDirectory(), deadline)) return false;
    for (std::size_t level = 1; level < m_matrix.size(); ++level) {
        const glow::number_path above(m_matrix.begin(), m_matrix.begin() + static_cast<std::ptrdiff_t>(level));
        if (!receiveUntil(deadline, [&] { return seen(above); })) break;
        if (!send(glow::getDirectory(above, glow::element_kind::node), deadline)) return false;
    }
    if (m_state == link_state::open) send(glow::getDirectory(m_matrix, glow::element_kind::matrix), deadline);
    const bool matrixSeen = receiveUntil(deadline, [&] { return m_matrixSeen; });
    if (matrixSeen) readLabels(deadline);
    m_walking = false;
    m_seenPaths.clear();
    if (matrixSeen && m_state == link_state::open) return true;
    cutOff(m_state == link_state::open ? where() + ": the provider showed no such matrix with its size" : m_problem);
    return false;
}

bool ember_link::seen(const glow::number_path& path) const {
    return std::find(m_seenPaths.begin(), m_seenPaths.end(), path) != m_seenPaths.end();
}

bool ember_link::walk(const std::vector<glow::number_path>& paths, clock_type::time_point deadline,
                      const std::function<bool()>& done) {
    for (const glow::number_path& path : paths) {
        if (!send(glow::getDirectory(path, glow::element_kind::node), deadline)) return false;
    }
    return receiveUntil(deadline, done);
}

void ember_link::readLabels(clock_type::time_point deadline) {
    if (!m_labelBase) return;
    glow::number_path targets = *m_labelBase, sources = *m_labelBase;
    targets.push_back(1);
    sources.push_back(2);
    if (!walk({*m_labelBase}, deadline, [&] { return seen(targets) || seen(sources); })) return;
    walk({targets, sources}, deadline, [&] {
        return (!seen(targets) || !m_view.destinationLabels.empty()) &&
               (!seen(sources) || !m_view.sourceLabels.empty());
    });
}

bool ember_link::reconnect() {
    return m_backoff.reconnect(m_address, m_problem, [this] { return connect(); });
}

void ember_link::cutOff(const std::string& why) {
    m_connection.reset();
    m_problem = why;
    if (m_state == link_state::open) m_state = link_state::lost;
}

bool ember_link::send(const glow::bytes& payload, clock_type::time_point deadline) {
    std::string error;
    if (m_connection->send(asText(s101::emberFrame(payload)), deadline, error)) return true;
    cutOff(m_address + ": " + error);
    return false;
}

bool ember_link::receiveUntil(clock_type::time_point deadline, const std::function<bool()>& done) {
    char chunk[kReceiveChunk];
    while (!done()) {
        if (m_state != link_state::open) return false;
        std::size_t count = 0;
        const tcp_connection::received what = m_connection->receive(chunk, sizeof chunk, deadline, count);
        if (what == tcp_connection::received::timed_out) return false;
        if (what == tcp_connection::received::closed) {
            cutOff(m_address + " closed the connection");
            return false;
        }
        m_decoder.take(reinterpret_cast<const std::uint8_t*>(chunk), count);
        while (auto message = m_decoder.next()) {
            if (message->kind == s101::message_kind::keep_alive_request) {
                std::string error;
                if (!m_connection->send(asText(s101::keepAliveAnswer()), deadline, error)) {
                    cutOff(m_address + ": " + error);
                    return false;
                }
                continue;
            }
            if (message->kind != s101::message_kind::ember) continue;
            std::string error;
            const auto elements = glow::readGlow(message->payload, error);
            if (elements) takeIn(*elements);
        }
        if (m_decoder.badFrames() > kMostBadFrames) {
            m_state = link_state::overrun;
            cutOff(m_address + " sent more than " + std::to_string(kMostBadFrames) +
                   " frames that were broken or beyond the limits; the link was closed");
            return false;
        }
    }
    return true;
}

// What the provider says of the matrix (its size, each target's sources as they now are, where
// its labels are) and of the labels' parameters.
void ember_link::takeIn(const std::vector<glow::element>& elements) {
    for (const glow::element& e : elements) {
        if (m_walking && m_seenPaths.size() < glow::kMaxElements) m_seenPaths.push_back(e.path);
        if (e.kind == glow::element_kind::matrix && e.path == m_matrix) takeInMatrix(e);
        if (e.kind == glow::element_kind::parameter) takeInLabel(e);
    }
}

void ember_link::takeInMatrix(const glow::element& matrix) {
    if (matrix.targetCount) m_targets = static_cast<int>(std::min<std::uint32_t>(*matrix.targetCount, INT32_MAX));
    if (matrix.sourceCount) m_sources = static_cast<int>(std::min<std::uint32_t>(*matrix.sourceCount, INT32_MAX));
    if (matrix.targetCount && matrix.sourceCount) m_matrixSeen = true;
    if (!matrix.labels.empty()) m_labelBase = matrix.labels.front().basePath;
    for (const glow::connection& c : matrix.connections) {
        if (m_sinceRoute.size() >= kMostReported) m_sinceRoute.erase(m_sinceRoute.begin());
        m_sinceRoute.push_back(c);
        if (c.state == glow::disposition::pending || c.state == glow::disposition::locked) continue;
        if (c.sources.empty()) {
            keepUnrouted(m_view, c.target);
        } else {
            keepRoute(m_view, c.target, c.sources.front());
        }
    }
}

// A parameter at LABELS.1.N names target N, at LABELS.2.N source N.
void ember_link::takeInLabel(const glow::element& parameter) {
    if (!m_labelBase || !parameter.text) return;
    const glow::number_path& base = *m_labelBase;
    const glow::number_path& path = parameter.path;
    if (path.size() != base.size() + 2 || !std::equal(base.begin(), base.end(), path.begin())) return;
    const std::uint32_t side = path[base.size()];
    if (side != 1 && side != 2) return;
    keepLabel(m_view, side == 1 ? port_side::destination : port_side::source, path.back(), *parameter.text);
}

bool ember_link::refresh(unsigned waitMs) {
    const unsigned long before = m_view.changes;
    receiveUntil(clock_type::now() + std::chrono::milliseconds(waitMs), [] { return false; });
    return m_view.changes != before;
}

ember_link::route_result ember_link::route(int destination, int source) {
    if (m_state != link_state::open && !reconnect()) return route_result::lost;
    m_sinceRoute.clear();
    const auto deadline = clock_type::now() + std::chrono::milliseconds(m_timeoutMs);
    const auto target = static_cast<std::uint32_t>(destination);
    const std::vector<std::uint32_t> wanted = {static_cast<std::uint32_t>(source)};
    if (!send(glow::connectAbsolute(m_matrix, target, wanted.front()), deadline)) return route_result::lost;
    bool answered = false, locked = false;
    const auto settled = [&] {
        for (const glow::connection& c : m_sinceRoute) {
            if (c.target != target) continue;
            answered = true;
            if (c.state == glow::disposition::locked) locked = true;
            if (locked) return true;
            if (c.sources == wanted && c.state != glow::disposition::pending) return true;
        }
        return false;
    };
    if (receiveUntil(deadline, settled)) {
        if (!locked) return route_result::confirmed;
        m_problem = where() + ": target " + std::to_string(destination) + " is locked";
        return route_result::locked;
    }
    if (m_state == link_state::overrun) return route_result::reply_too_long;
    if (m_state == link_state::lost) return route_result::lost;
    return answered ? route_result::unconfirmed : route_result::no_ack;
}

const tcp_connection* ember_link::connection() const {
    return m_state == link_state::open ? m_connection.get() : nullptr;
}

}  // namespace vorn_host
