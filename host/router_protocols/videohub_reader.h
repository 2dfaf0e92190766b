#pragma once
// Cuts what a Videohub router sends into blocks: a header line and its lines, ended by a blank
// line. A router that sends more than kMaxBlockBytes without a blank line has left the
// protocol: the reader stops taking its bytes and holds no more than the limit.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vorn_host {

class videohub_reader {
public:
    static const std::size_t kMaxBlockBytes = 64 * 1024;
    static const std::size_t kMaxHeldBytes = 4 * kMaxBlockBytes;

    // Takes in bytes as they arrived. False, keeping none of them, once the block being
    // received has passed the limit; it stays so (overrun()).
    bool take(const char* data, std::size_t size);
    // The next whole block, each line without its end (a '\r' before the '\n' dropped); null
    // while none is whole. Blocks of no lines are passed over.
    std::optional<std::vector<std::string>> next();
    bool overrun() const { return m_overrun; }

private:
    std::string m_buffer;
    bool m_overrun = false;
};

}  // namespace vorn_host
