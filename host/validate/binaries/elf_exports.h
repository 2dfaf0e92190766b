#pragma once
// The symbols a Linux shared library defines for others to use: read from its dynamic symbol
// table, as the loader sees them.
#include <optional>
#include <string>
#include <vector>

namespace vorn_host {

// Null, with the reason in `error`, when the file is not an ELF shared library this can read.
std::optional<std::vector<std::string>> elfExportedSymbols(const std::string& path, std::string& error);

}  // namespace vorn_host
