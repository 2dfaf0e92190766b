#pragma once
// How the socket library's functions keep failure inside: each runs its work in guarded(),
// which turns anything thrown into the function's failed result and the reason into the
// caller's buffer.
#include <cstddef>
#include <cstring>
#include <exception>
#include <string>

namespace vorn_sockets {

// Copies `text` into the caller's buffer, cut to fit, NUL-terminated.
inline void tell(const std::string& text, char* error, std::size_t errorSize) noexcept {
    if (!error || errorSize == 0) return;
    const std::size_t length = text.size() < errorSize - 1 ? text.size() : errorSize - 1;
    std::memcpy(error, text.data(), length);
    error[length] = '\0';
}

template <typename Result, typename Work>
Result guarded(Result failed, char* error, std::size_t errorSize, Work&& work) noexcept {
    try {
        return work();
    } catch (const std::exception& e) {
        tell(std::string("internal failure: ") + e.what(), error, errorSize);
    } catch (...) {
        tell("internal failure", error, errorSize);
    }
    return failed;
}

}  // namespace vorn_sockets
