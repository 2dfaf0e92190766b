#pragma once
// A connection to a router that speaks the Videohub Ethernet protocol: text blocks over TCP,
// each a header line ending in ':' and its lines, ended by a blank line. The router sends its
// prelude (size, routing) on connecting, acknowledges each block with "ACK" or "NAK", and
// reports routes that changed in "VIDEO OUTPUT ROUTING:" status blocks. One block is in flight
// at a time: a route waits for its acknowledgement, and then for the status that confirms it.
#include <map>
#include <memory>
#include <string>
#include <vector>

class videohub_link {
public:
    // Connects to "HOST:PORT" and reads the prelude; null, with the reason in `error`, when the
    // router cannot be reached or sends no prelude within `timeoutMs`.
    static std::unique_ptr<videohub_link> open(const std::string& address, unsigned timeoutMs, std::string& error);
    ~videohub_link();
    videohub_link(const videohub_link&) = delete;
    videohub_link& operator=(const videohub_link&) = delete;

    int inputs() const { return m_inputs; }
    int outputs() const { return m_outputs; }

    enum class route_result { confirmed, unconfirmed, nak, no_ack, lost };
    // Sends one route, numbers as on the wire, and waits for the router's word on it.
    route_result route(int destination, int source);

    // The routing as the router reported it: destination -> source, on the wire's numbering.
    const std::map<int, int>& routing() const { return m_routing; }

private:
    videohub_link(int socket, unsigned timeoutMs) : m_socket(socket), m_timeoutMs(timeoutMs) {}

    // The next block, or an empty one when none came within the time left.
    std::vector<std::string> nextBlock(unsigned timeoutMs);
    // Takes in what a block reports (size, routing); returns its header.
    std::string takeIn(const std::vector<std::string>& block);

    int m_socket;
    unsigned m_timeoutMs;
    std::string m_buffer;
    bool m_lost = false;
    int m_inputs = 0, m_outputs = 0;
    std::map<int, int> m_routing;
    std::vector<std::pair<int, int>> m_lastReported;  // the routes of the last status block
};

// "videohub://HOST:PORT" -> "HOST:PORT"; empty when the text is not such an address.
std::string videohubAddress(const std::string& url);
