#pragma once
// Sessions made from a seed, and the shortest part of a failing session that still fails.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// `count` session lines from `seed`: events on the given controls with assorted event texts,
// requests, timers and the other codes. The same seed always gives the same lines.
std::vector<std::string> randomSessionLines(uint32_t seed, const std::vector<std::pair<std::string, std::string>>& controls,
                                            unsigned count);

// Removes lines while `fails` still holds, one at a time from the end: what is left fails, and
// no single line of it can go.
std::vector<std::string> shortestFailing(std::vector<std::string> lines,
                                         const std::function<bool(const std::vector<std::string>&)>& fails);

std::string joinLines(const std::vector<std::string>& lines);
