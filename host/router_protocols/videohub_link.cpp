#include "videohub_link.h"

#include <chrono>
#include <cstdlib>

#if !defined(_WIN32)
#  include <netdb.h>
#  include <poll.h>
#  include <sys/socket.h>
#  include <unistd.h>
#endif

namespace {

const char kScheme[] = "videohub://";

}  // namespace

std::string videohubAddress(const std::string& url) {
    const std::string scheme = kScheme;
    if (url.compare(0, scheme.size(), scheme) != 0) return "";
    const std::string address = url.substr(scheme.size());
    return address.find(':') == std::string::npos ? "" : address;
}

#if defined(_WIN32)

std::unique_ptr<videohub_link> videohub_link::open(const std::string&, unsigned, std::string& error) {
    error = "router links are not built for Windows";
    return nullptr;
}
videohub_link::~videohub_link() = default;
videohub_link::route_result videohub_link::route(int, int) {
    return route_result::lost;
}

#else

namespace {

const char kPreludeEnd[] = "END PRELUDE:";
const char kDevice[] = "VIDEOHUB DEVICE:";
const char kRouting[] = "VIDEO OUTPUT ROUTING:";
const char kAck[] = "ACK";
const char kNak[] = "NAK";
const char kInputsKey[] = "Video inputs:";
const char kOutputsKey[] = "Video outputs:";

// The whole number that follows `key` on a line, read up to its first non-digit: some routers
// run the next field on without a line end.
int numberAfter(const std::string& line, const char* key) {
    const std::string k = key;
    if (line.compare(0, k.size(), k) != 0) return -1;
    return std::atoi(line.c_str() + k.size());
}

using clock_type = std::chrono::steady_clock;

unsigned msLeft(clock_type::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock_type::now()).count();
    return left > 0 ? static_cast<unsigned>(left) : 0;
}

}  // namespace

std::unique_ptr<videohub_link> videohub_link::open(const std::string& address, unsigned timeoutMs, std::string& error) {
    const size_t colon = address.rfind(':');
    const std::string host = address.substr(0, colon), port = address.substr(colon + 1);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        error = "cannot resolve " + address;
        return nullptr;
    }
    int s = -1;
    for (addrinfo* a = found; a && s < 0; a = a->ai_next) {
        s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s >= 0 && connect(s, a->ai_addr, a->ai_addrlen) != 0) {
            close(s);
            s = -1;
        }
    }
    freeaddrinfo(found);
    if (s < 0) {
        error = "cannot connect to " + address;
        return nullptr;
    }
    std::unique_ptr<videohub_link> link(new videohub_link(s, timeoutMs));
    const auto deadline = clock_type::now() + std::chrono::milliseconds(timeoutMs);
    bool sized = false;
    for (;;) {
        const std::vector<std::string> block = link->nextBlock(msLeft(deadline));
        if (block.empty()) break;
        const std::string header = link->takeIn(block);
        sized = sized || header == kDevice;
        if (header == kPreludeEnd) break;
    }
    if (!sized) {
        error = address + " sent no " + kDevice + " block";
        return nullptr;
    }
    return link;
}

videohub_link::~videohub_link() {
    close(m_socket);
}

std::vector<std::string> videohub_link::nextBlock(unsigned timeoutMs) {
    const auto deadline = clock_type::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const size_t end = m_buffer.find("\n\n");
        if (end != std::string::npos) {
            std::vector<std::string> lines;
            size_t at = 0;
            while (at < end) {
                const size_t lineEnd = m_buffer.find('\n', at);
                std::string line = m_buffer.substr(at, (lineEnd < end ? lineEnd : end) - at);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                lines.push_back(line);
                at = lineEnd == std::string::npos || lineEnd >= end ? end : lineEnd + 1;
            }
            m_buffer.erase(0, end + 2);
            if (!lines.empty()) return lines;
            continue;
        }
        if (m_lost) return {};
        pollfd p{m_socket, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(msLeft(deadline)));
        if (ready <= 0) return {};
        char chunk[4096];
        const ssize_t n = recv(m_socket, chunk, sizeof chunk, 0);
        if (n <= 0) {
            m_lost = true;
            continue;
        }
        m_buffer.append(chunk, static_cast<size_t>(n));
    }
}

std::string videohub_link::takeIn(const std::vector<std::string>& block) {
    const std::string& header = block.front();
    if (header == kDevice) {
        for (const std::string& line : block) {
            if (numberAfter(line, kInputsKey) >= 0) m_inputs = numberAfter(line, kInputsKey);
            if (numberAfter(line, kOutputsKey) >= 0) m_outputs = numberAfter(line, kOutputsKey);
        }
    } else if (header == kRouting) {
        m_lastReported.clear();
        for (size_t i = 1; i < block.size(); ++i) {
            char* end = nullptr;
            const long destination = std::strtol(block[i].c_str(), &end, 10);
            const long source = std::strtol(end, &end, 10);
            if (*end != '\0') continue;
            m_routing[static_cast<int>(destination)] = static_cast<int>(source);
            m_lastReported.emplace_back(static_cast<int>(destination), static_cast<int>(source));
        }
    }
    return header;
}

videohub_link::route_result videohub_link::route(int destination, int source) {
    const std::string block = std::string(kRouting) + "\n" + std::to_string(destination) + " " +
                              std::to_string(source) + "\n\n";
    if (send(m_socket, block.data(), block.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(block.size())) {
        m_lost = true;
        return route_result::lost;
    }
    const auto ackDeadline = clock_type::now() + std::chrono::milliseconds(m_timeoutMs);
    for (;;) {
        const std::vector<std::string> reply = nextBlock(msLeft(ackDeadline));
        if (reply.empty()) return m_lost ? route_result::lost : route_result::no_ack;
        const std::string header = takeIn(reply);
        if (header == kNak) return route_result::nak;
        if (header == kAck) break;
    }
    const auto statusDeadline = clock_type::now() + std::chrono::milliseconds(m_timeoutMs);
    for (;;) {
        const std::vector<std::string> status = nextBlock(msLeft(statusDeadline));
        if (status.empty()) return route_result::unconfirmed;
        if (takeIn(status) != kRouting) continue;
        for (const auto& [d, s] : m_lastReported) {
            if (d == destination && s == source) return route_result::confirmed;
        }
    }
}

#endif
