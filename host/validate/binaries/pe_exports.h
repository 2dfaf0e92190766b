#pragma once
// The names a Windows DLL exports: read from its PE export table, as the loader sees them. The
// file is read as bytes, so this works wherever vorn-host runs.
#include <optional>
#include <string>
#include <vector>

namespace vorn_host {

// The reason given for a file that is not a PE image at all.
const char kNotAPeImage[] = "not a PE image";

// Null, with the reason in `error`, when the file is not a PE image this can read. An export
// without a name is listed as "#ORDINAL".
std::optional<std::vector<std::string>> peExportedSymbols(const std::string& path, std::string& error);

}  // namespace vorn_host
