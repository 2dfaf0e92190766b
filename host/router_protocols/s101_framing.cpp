#include "s101_framing.h"

namespace vorn_host::s101 {

namespace {

const std::uint8_t kBof = 0xFE;
const std::uint8_t kEof = 0xFF;
const std::uint8_t kEscape = 0xFD;
const std::uint8_t kEscapeXor = 0x20;
const std::uint8_t kFirstEscaped = 0xF8;

const std::uint8_t kSlot = 0x00;
const std::uint8_t kMessageType = 0x0E;
const std::uint8_t kVersion = 0x01;
const std::uint8_t kCommandEmber = 0x00;
const std::uint8_t kCommandKeepAliveRequest = 0x01;
const std::uint8_t kCommandKeepAliveAnswer = 0x02;
const std::uint8_t kFlagFirst = 0x80;
const std::uint8_t kFlagLast = 0x40;
const std::uint8_t kFlagEmpty = 0x20;
const std::uint8_t kDtdGlow = 0x01;
// Glow 2.31, as its two application bytes: minor, then major.
const std::uint8_t kGlowVersion[] = {0x1F, 0x02};

// What the CRC of a message followed by its sent (inverted) CRC always comes to.
const std::uint16_t kGoodResidue = 0xF0B8;

// slot, type, command, version
const std::size_t kHeaderBytes = 4;
const std::size_t kCrcBytes = 2;

void putEscaped(bytes& out, std::uint8_t b) {
    if (b >= kFirstEscaped) {
        out.push_back(kEscape);
        out.push_back(b ^ kEscapeXor);
    } else {
        out.push_back(b);
    }
}

bytes framed(const bytes& message) {
    const std::uint16_t sent = static_cast<std::uint16_t>(~crc(message.data(), message.size()));
    bytes out;
    out.reserve(message.size() * 2 + 6);
    out.push_back(kBof);
    for (std::uint8_t b : message) putEscaped(out, b);
    putEscaped(out, static_cast<std::uint8_t>(sent & 0xFF));
    putEscaped(out, static_cast<std::uint8_t>(sent >> 8));
    out.push_back(kEof);
    return out;
}

bytes header(std::uint8_t command) {
    return {kSlot, kMessageType, command, kVersion};
}

}  // namespace

std::uint16_t crc(const std::uint8_t* data, std::size_t size, std::uint16_t start) {
    std::uint16_t value = start;
    for (std::size_t i = 0; i < size; ++i) {
        value ^= data[i];
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0x8408 : value >> 1;
    }
    return value;
}

bytes emberFrame(const bytes& payload) {
    bytes message = header(kCommandEmber);
    message.insert(message.end(),
                   {static_cast<std::uint8_t>(kFlagFirst | kFlagLast), kDtdGlow, 2, kGlowVersion[0], kGlowVersion[1]});
    message.insert(message.end(), payload.begin(), payload.end());
    return framed(message);
}

bytes keepAliveRequest() {
    return framed(header(kCommandKeepAliveRequest));
}

bytes keepAliveAnswer() {
    return framed(header(kCommandKeepAliveAnswer));
}

void s101_decoder::take(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (b == kBof) {
            // A BOF inside a frame starts it over: the frame before it was cut off.
            if (m_inFrame && !m_frame.empty()) ++m_badFrames;
            m_inFrame = true;
            m_escaped = false;
            m_tooLong = false;
            m_frame.clear();
            continue;
        }
        if (!m_inFrame) continue;
        if (b == kEof) {
            endFrame();
            continue;
        }
        if (b == kEscape) {
            m_escaped = true;
            continue;
        }
        const std::uint8_t value = m_escaped ? static_cast<std::uint8_t>(b ^ kEscapeXor) : b;
        m_escaped = false;
        if (m_frame.size() >= kMaxFrameBytes) {
            m_tooLong = true;
            continue;
        }
        m_frame.push_back(value);
    }
}

void s101_decoder::endFrame() {
    m_inFrame = false;
    const bool whole =
        !m_tooLong && m_frame.size() >= kHeaderBytes + kCrcBytes && crc(m_frame.data(), m_frame.size()) == kGoodResidue;
    if (!whole) {
        ++m_badFrames;
    } else {
        m_frame.resize(m_frame.size() - kCrcBytes);
        takeMessage(m_frame);
    }
    m_frame.clear();
}

void s101_decoder::takeMessage(const bytes& frame) {
    if (frame[1] != kMessageType) {
        ++m_badFrames;
        return;
    }
    if (frame[2] == kCommandKeepAliveRequest) {
        m_ready.push_back({message_kind::keep_alive_request, {}});
        return;
    }
    if (frame[2] == kCommandKeepAliveAnswer) {
        m_ready.push_back({message_kind::keep_alive_answer, {}});
        return;
    }
    if (frame[2] != kCommandEmber || frame.size() < kHeaderBytes + 3) {
        ++m_badFrames;
        return;
    }
    const std::uint8_t flags = frame[kHeaderBytes];
    const std::size_t appBytes = frame[kHeaderBytes + 2];
    const std::size_t payloadAt = kHeaderBytes + 3 + appBytes;
    if (frame[kHeaderBytes + 1] != kDtdGlow || payloadAt > frame.size()) {
        ++m_badFrames;
        return;
    }
    if (flags & kFlagFirst) {
        m_joining.clear();
        m_joiningStarted = true;
    }
    if (!m_joiningStarted) return;  // a packet whose message began before we listened
    if (!(flags & kFlagEmpty)) {
        if (m_joining.size() + (frame.size() - payloadAt) > kMaxMessageBytes) {
            ++m_badFrames;
            m_joining.clear();
            m_joiningStarted = false;
            return;
        }
        m_joining.insert(m_joining.end(), frame.begin() + static_cast<std::ptrdiff_t>(payloadAt), frame.end());
    }
    if (flags & kFlagLast) {
        m_ready.push_back({message_kind::ember, std::move(m_joining)});
        m_joining.clear();
        m_joiningStarted = false;
    }
}

std::optional<message> s101_decoder::next() {
    if (m_nextReady >= m_ready.size()) {
        m_ready.clear();
        m_nextReady = 0;
        return std::nullopt;
    }
    return std::move(m_ready[m_nextReady++]);
}

}  // namespace vorn_host::s101
