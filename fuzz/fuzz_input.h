#pragma once
// Reads a fuzzer's bytes as a stream of small values and texts; past the end, everything is 0.
#include <cstddef>
#include <cstdint>
#include <string>

class fuzz_input {
public:
    fuzz_input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool done() const { return m_at >= m_size; }

    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    int32_t integer() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | byte();
        return static_cast<int32_t>(value);
    }

    // A text of up to 255 bytes, NULs and all.
    std::string text() {
        const size_t length = byte();
        const size_t available = m_size - (m_at < m_size ? m_at : m_size);
        const size_t taken = length < available ? length : available;
        std::string out(reinterpret_cast<const char*>(m_data + m_at), taken);
        m_at += taken;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};
