#include "videohub_reader.h"

namespace vorn_host {

namespace {

const char kBlockEnd[] = "\n\n";

// A block's lines: the last one has no line end of its own, since the block ends before the blank
// line.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return lines;
}

}  // namespace

// Every whole block held, and the block still arriving, must be within the limit; so must all
// that is held, for a router that floods whole blocks faster than they are read.
bool videohub_reader::take(const char* data, std::size_t size) {
    if (m_overrun) return false;
    m_buffer.append(data, size);
    std::size_t from = 0;
    for (std::size_t end; (end = m_buffer.find(kBlockEnd, from)) != std::string::npos; from = end + 2) {
        if (end - from > kMaxBlockBytes) m_overrun = true;
    }
    if (m_buffer.size() - from > kMaxBlockBytes || m_buffer.size() > kMaxHeldBytes) m_overrun = true;
    if (!m_overrun) return true;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    return false;
}

std::optional<std::vector<std::string>> videohub_reader::next() {
    for (;;) {
        const std::size_t end = m_buffer.find(kBlockEnd);
        if (end == std::string::npos) return std::nullopt;
        const std::string block = m_buffer.substr(0, end);
        m_buffer.erase(0, end + 2);
        if (!block.empty()) return linesOf(block);
    }
}

}  // namespace vorn_host
