#pragma once
#include <cstdlib>
#include <optional>
#include <string>

namespace vorn_host {

// A text that is a whole decimal number and nothing else, or null.
inline std::optional<long> wholeNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return std::nullopt;
    return value;
}

}  // namespace vorn_host
