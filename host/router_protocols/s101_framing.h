#pragma once
// S101, the framing that carries Ember+ over TCP. A frame is BOF (0xFE), the escaped bytes of a
// message and its CRC-16, then EOF (0xFF); a byte from 0xF8 up is sent as CE (0xFD) and the byte
// XOR 0x20. A message is a slot, a type (0x0E), a command (EmBER data, or a keep-alive request
// or answer), a version, and for EmBER data: flags (first and last packet of a message), the
// DTD (Glow) with its version, and a piece of the BER payload.
//
// s101_decoder takes bytes as they arrive and gives whole messages: EmBER payloads joined from
// their packets, and keep-alive requests. It is bounded: a frame longer than kMaxFrameBytes,
// or a message longer than kMaxMessageBytes, is dropped and counted as a bad frame, and so is a
// frame whose CRC is wrong; the decoder then waits for the next BOF.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn_host::s101 {

using bytes = std::vector<std::uint8_t>;

const std::size_t kMaxFrameBytes = 16 * 1024;
const std::size_t kMaxMessageBytes = 1024 * 1024;

enum class message_kind { ember, keep_alive_request, keep_alive_answer };

struct message {
    message_kind kind;
    bytes payload;  // the BER payload of an EmBER message, whole
};

// The CRC-16 of S101 (CCITT, reflected, start 0xFFFF), before it is inverted for sending.
std::uint16_t crc(const std::uint8_t* data, std::size_t size, std::uint16_t start = 0xFFFF);

// One frame holding the whole of `payload` as one Glow packet (first and last).
bytes emberFrame(const bytes& payload);
// The frames of a keep-alive request and of the answer to one.
bytes keepAliveRequest();
bytes keepAliveAnswer();

class s101_decoder {
public:
    void take(const std::uint8_t* data, std::size_t size);
    // The next whole message, or null while none is.
    std::optional<message> next();
    // Frames dropped: a wrong CRC, too long, or too short to be a message.
    unsigned badFrames() const { return m_badFrames; }

private:
    void endFrame();
    void takeMessage(const bytes& frame);

    bool m_inFrame = false;
    bool m_escaped = false;
    bool m_tooLong = false;
    bytes m_frame;
    bytes m_joining;  // the packets of an EmBER message so far
    bool m_joiningStarted = false;
    std::vector<message> m_ready;
    std::size_t m_nextReady = 0;
    unsigned m_badFrames = 0;
};

}  // namespace vorn_host::s101
