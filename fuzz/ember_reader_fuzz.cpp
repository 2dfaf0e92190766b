// The Ember+ readers on any bytes. The first byte sets how the rest is cut into chunks, as a
// socket might deliver it. Whatever arrives, the S101 decoder gives only messages that fit its
// limits, and the Glow reader either reads a payload whole, within its limits, or says why. Any
// payload framed by the writer comes back from the decoder unchanged, however it is chunked.
#include <cstdint>
#include <string>
#include <vector>

#include "glow_reader.h"
#include "s101_framing.h"

using namespace vorn_host;

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

void readPayload(const glow::bytes& payload) {
    std::string error;
    const auto elements = glow::readGlow(payload, error);
    require(elements.has_value() == error.empty());
    if (!elements) return;
    require(elements->size() <= glow::kMaxElements);
    for (const glow::element& e : *elements) require(!e.path.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] * 13u;
    const glow::bytes rest(data + 1, data + size);

    s101::s101_decoder decoder;
    for (std::size_t at = 0; at < rest.size(); at += chunk) {
        decoder.take(rest.data() + at, std::min(chunk, rest.size() - at));
        while (auto message = decoder.next()) {
            require(message->payload.size() <= s101::kMaxMessageBytes);
            if (message->kind == s101::message_kind::ember) readPayload(message->payload);
        }
    }
    readPayload(rest);

    if (rest.size() <= s101::kMaxFrameBytes / 2) {
        const glow::bytes frame = s101::emberFrame(rest);
        s101::s101_decoder again;
        std::vector<glow::bytes> got;
        for (std::size_t at = 0; at < frame.size(); at += chunk) {
            again.take(frame.data() + at, std::min(chunk, frame.size() - at));
            while (auto message = again.next()) got.push_back(message->payload);
        }
        require(got.size() == 1 && got[0] == rest && again.badFrames() == 0);
    }
    return 0;
}
