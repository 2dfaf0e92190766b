#pragma once
// The plain-text files vorn-host reads and writes (sessions, recordings), line by line, and the
// folder a file lies in, where its panel files are looked for.
#include <optional>
#include <string>
#include <vector>

namespace vorn_host {

// The lines of the file, without their line ends; nothing when it cannot be read.
std::optional<std::vector<std::string>> readLines(const std::string& path);
// Each line with a line end after it; false when the file cannot be written.
bool writeLines(const std::string& path, const std::vector<std::string>& lines);
std::string joinLines(const std::vector<std::string>& lines);
// "." for a bare file name.
std::string directoryOf(const std::string& path);

}  // namespace vorn_host
