#include "videohub_link.h"

#include <algorithm>
#include <cstdlib>

#include "tcp_connection.h"

namespace vorn_host {

namespace {

const char kScheme[] = "videohub://";
const char kPreludeEnd[] = "END PRELUDE:";
const char kDevice[] = "VIDEOHUB DEVICE:";
const char kRouting[] = "VIDEO OUTPUT ROUTING:";
const char kInputLabels[] = "INPUT LABELS:";
const char kOutputLabels[] = "OUTPUT LABELS:";
const char kAck[] = "ACK";
const char kNak[] = "NAK";
const char kInputsKey[] = "Video inputs:";
const char kOutputsKey[] = "Video outputs:";

const std::size_t kReceiveChunk = 4096;

// The whole number that follows `key` on a line, read up to its first non-digit: some routers
// run the next field on without a line end.
int numberAfter(const std::string& line, const char* key) {
    const std::string k = key;
    if (line.compare(0, k.size(), k) != 0) return -1;
    return std::atoi(line.c_str() + k.size());
}

}  // namespace

std::string videohubAddress(const std::string& url) {
    const std::string scheme = kScheme;
    if (url.compare(0, scheme.size(), scheme) != 0) return "";
    const std::string address = url.substr(scheme.size());
    return address.find(':') == std::string::npos ? "" : address;
}

videohub_link::videohub_link(const std::string& address, unsigned timeoutMs)
    : m_address(address), m_timeoutMs(timeoutMs) {}

videohub_link::~videohub_link() = default;

std::unique_ptr<videohub_link> videohub_link::open(const std::string& address, unsigned timeoutMs, std::string& error) {
    std::unique_ptr<videohub_link> link(new videohub_link(address, timeoutMs));
    if (link->connect()) return link;
    error = link->m_problem;
    return nullptr;
}

bool videohub_link::connect() {
    const auto deadline = clock_type::now() + std::chrono::milliseconds(m_timeoutMs);
    const std::size_t colon = m_address.rfind(':');
    m_connection = tcp_connection::open(m_address.substr(0, colon), m_address.substr(colon + 1), deadline, m_problem);
    if (!m_connection) return false;
    m_reader = videohub_reader();
    m_state = link_state::open;
    bool sized = false;
    for (;;) {
        const block lines = nextBlock(deadline);
        if (lines.empty()) break;
        const std::string header = takeIn(lines);
        sized = sized || header == kDevice;
        if (header == kPreludeEnd) break;
    }
    if (sized) return true;
    cutOff(m_state == link_state::overrun ? m_problem : m_address + " sent no " + kDevice + " block");
    return false;
}

bool videohub_link::reconnect() {
    return m_backoff.reconnect(m_address, m_problem, [this] { return connect(); });
}

void videohub_link::cutOff(const std::string& why) {
    m_connection.reset();
    m_problem = why;
    if (m_state == link_state::open) m_state = link_state::lost;
}

videohub_link::block videohub_link::nextBlock(clock_type::time_point deadline) {
    char chunk[kReceiveChunk];
    for (;;) {
        if (std::optional<block> lines = m_reader.next()) return *lines;
        if (m_state != link_state::open) return {};
        std::size_t count = 0;
        const tcp_connection::received what = m_connection->receive(chunk, sizeof chunk, deadline, count);
        if (what == tcp_connection::received::timed_out) return {};
        if (what == tcp_connection::received::closed) {
            cutOff(m_address + " closed the connection");
            continue;
        }
        if (!m_reader.take(chunk, count)) {
            m_state = link_state::overrun;
            cutOff(m_address + " sent a block of more than " + std::to_string(videohub_reader::kMaxBlockBytes) +
                   " bytes; the link was closed");
        }
    }
}

std::string videohub_link::takeIn(const block& lines) {
    const std::string& header = lines.front();
    if (header == kDevice) {
        for (const std::string& line : lines) {
            if (numberAfter(line, kInputsKey) >= 0) m_inputs = numberAfter(line, kInputsKey);
            if (numberAfter(line, kOutputsKey) >= 0) m_outputs = numberAfter(line, kOutputsKey);
        }
    } else if (header == kRouting) {
        m_lastReported.clear();
        for (size_t i = 1; i < lines.size(); ++i) {
            char* end = nullptr;
            const long destination = std::strtol(lines[i].c_str(), &end, 10);
            const long source = std::strtol(end, &end, 10);
            if (*end != '\0' || !keepRoute(m_view, destination, source)) continue;
            m_lastReported.emplace_back(static_cast<int>(destination), static_cast<int>(source));
        }
    } else if (header == kInputLabels || header == kOutputLabels) {
        const port_side side = header == kInputLabels ? port_side::source : port_side::destination;
        for (size_t i = 1; i < lines.size(); ++i) {
            char* end = nullptr;
            const long number = std::strtol(lines[i].c_str(), &end, 10);
            if (end == lines[i].c_str() || *end != ' ') continue;
            keepLabel(m_view, side, number, end + 1);
        }
    }
    return header;
}

bool videohub_link::refresh(unsigned waitMs) {
    const unsigned long before = m_view.changes;
    const auto deadline = clock_type::now() + std::chrono::milliseconds(waitMs);
    for (block lines = nextBlock(deadline); !lines.empty(); lines = nextBlock(deadline)) takeIn(lines);
    return m_view.changes != before;
}

videohub_link::route_result videohub_link::whyNothingCame() const {
    if (m_state == link_state::overrun) return route_result::reply_too_long;
    if (m_state == link_state::lost) return route_result::lost;
    return route_result::no_ack;
}

videohub_link::route_result videohub_link::route(int destination, int source) {
    if (m_state != link_state::open && !reconnect()) return route_result::lost;
    const std::string block =
        std::string(kRouting) + "\n" + std::to_string(destination) + " " + std::to_string(source) + "\n\n";
    const auto ackDeadline = clock_type::now() + std::chrono::milliseconds(m_timeoutMs);
    std::string error;
    if (!m_connection->send(block, ackDeadline, error)) {
        cutOff(m_address + ": " + error);
        return route_result::lost;
    }
    for (;;) {
        const std::vector<std::string> reply = nextBlock(ackDeadline);
        if (reply.empty()) return whyNothingCame();
        const std::string header = takeIn(reply);
        if (header == kNak) return route_result::nak;
        if (header == kAck) break;
    }
    const auto statusDeadline = clock_type::now() + std::chrono::milliseconds(m_timeoutMs);
    for (;;) {
        const std::vector<std::string> status = nextBlock(statusDeadline);
        if (status.empty()) {
            const route_result why = whyNothingCame();
            return why == route_result::no_ack ? route_result::unconfirmed : why;
        }
        if (takeIn(status) != kRouting) continue;
        for (const auto& [d, s] : m_lastReported) {
            if (d == destination && s == source) return route_result::confirmed;
        }
    }
}

const tcp_connection* videohub_link::connection() const {
    return m_state == link_state::open ? m_connection.get() : nullptr;
}

}  // namespace vorn_host
