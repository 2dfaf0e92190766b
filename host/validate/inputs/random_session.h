#pragma once
// Sessions made from a seed, and the shortest part of a failing session that still fails.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "module_vocabulary.h"
#include "text_files.h"

namespace vorn_host {

// `count` session lines from `seed`: events on the module's controls with assorted event texts,
// the requests it answers and texts that test its reading of them, timers and the other codes.
// The same seed and vocabulary always give the same lines.
std::vector<std::string> randomSessionLines(uint32_t seed, const module_vocabulary& vocabulary, unsigned count);

// Removes lines while `fails` still holds, one at a time from the end: what is left fails, and
// no single line of it can go.
std::vector<std::string> shortestFailing(std::vector<std::string> lines,
                                         const std::function<bool(const std::vector<std::string>&)>& fails);

}  // namespace vorn_host
