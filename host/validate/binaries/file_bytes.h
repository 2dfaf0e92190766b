#pragma once
// A file's bytes, read whole, with reads that never go past its end: the export readers take
// offsets and sizes from files that may be malformed on purpose.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vorn_host {

class file_bytes {
public:
    explicit file_bytes(std::vector<char> bytes) : m_bytes(std::move(bytes)) {}

    // The whole file at `path`; empty when it cannot be read.
    static file_bytes of(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return file_bytes(std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    }

    // The value stored at `offset`; false, leaving `value` alone, when it does not lie wholly
    // inside the file.
    template <typename T>
    bool read(uint64_t offset, T& value) const {
        if (offset > m_bytes.size() || m_bytes.size() - offset < sizeof(T)) return false;
        std::memcpy(&value, m_bytes.data() + offset, sizeof(T));
        return true;
    }

    // The text starting at `offset`, up to its terminator or the file's end.
    std::string textAt(uint64_t offset) const {
        if (offset >= m_bytes.size()) return "";
        return std::string(m_bytes.data() + offset, strnlen(m_bytes.data() + offset, m_bytes.size() - offset));
    }

    size_t size() const { return m_bytes.size(); }
    const char* data() const { return m_bytes.data(); }

private:
    std::vector<char> m_bytes;
};

}  // namespace vorn_host
