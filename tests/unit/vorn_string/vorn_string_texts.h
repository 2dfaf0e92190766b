#pragma once
// The string library's values read out as standard strings, for the string library's tests.
#include <string>
#include <vector>

#include "vorn_string.h"

inline std::string text(const vorn_string& s) {
    return static_cast<const char*>(s);
}

inline std::vector<std::string> items(const vorn_stringlist& list) {
    std::vector<std::string> out;
    for (const vorn_string& item : list) out.push_back(text(item));
    return out;
}
