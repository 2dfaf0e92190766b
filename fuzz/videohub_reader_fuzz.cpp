// The router reply reader on any byte stream, cut into chunks as a socket might deliver it:
// the blocks it gives are those of the whole stream cut at its blank lines, however it was
// chunked, until the stream passes the size limit; then it gives nothing more and holds nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "videohub_reader.h"

using namespace vorn_host;

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

using blocks = std::vector<std::vector<std::string>>;

// The reference: every whole block of the stream, lines split at '\n' with a final '\r' dropped.
blocks wholeBlocks(const std::string& stream) {
    blocks all;
    std::size_t from = 0;
    for (std::size_t end; (end = stream.find("\n\n", from)) != std::string::npos; from = end + 2) {
        const std::string text = stream.substr(from, end - from);
        if (text.empty()) continue;
        std::vector<std::string> lines;
        std::size_t at = 0;
        for (;;) {
            const std::size_t lineEnd = text.find('\n', at);
            std::string line = text.substr(at, lineEnd == std::string::npos ? std::string::npos : lineEnd - at);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            if (lineEnd == std::string::npos) break;
            at = lineEnd + 1;
        }
        all.push_back(lines);
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte sets the chunk size; the rest is the stream, repeated to pass the limit when
    // the byte is odd.
    const std::size_t chunk = 1 + data[0] * 37u;
    std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] % 2 == 1 && !stream.empty()) {
        while (stream.size() <= videohub_reader::kMaxHeldBytes + chunk) stream += stream;
    }
    videohub_reader reader;
    blocks got;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        const bool taken = reader.take(stream.data() + at, std::min(chunk, stream.size() - at));
        require(taken == !reader.overrun());
        while (auto block = reader.next()) {
            require(!block->empty());
            for (const std::string& line : *block) require(line.find('\n') == std::string::npos);
            got.push_back(*block);
        }
    }
    if (reader.overrun()) {
        require(!reader.next());
        require(!reader.take("x\n\n", 3));
        return 0;
    }
    require(got == wholeBlocks(stream));
    return 0;
}
