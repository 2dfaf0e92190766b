#include "random_session.h"

#include <random>

namespace {

// Texts a host may hand in: ordinary ones, and ones that test a module's reading of them.
const char* const kEventTexts[] = {"value=1", "value=7", "value=-3", "value=", "press", "alarm=2",
                                   "alarm=ack", "%1", "value=%2", "a.b.c=d", "value=99999999999", "="};
const char* const kRequests[] = {"RouterDeviceNo=12", "RouterDeviceNo=x", "return=all", "return=RouterDeviceNo",
                                 "return=instance", "instance=studio", "instance=%1", "_events", "_commands",
                                 "", "=", "a.b.c", "unknown=1"};
const char* const kFallbackControls[][2] = {{"1", "500"}, {"1", "Sources"}, {"2", "x"}};

template <typename T, size_t N>
const T& pick(std::mt19937& random, const T (&items)[N]) {
    return items[random() % N];
}

}  // namespace

std::vector<std::string> randomSessionLines(uint32_t seed, const std::vector<std::pair<std::string, std::string>>& controls,
                                            unsigned count) {
    std::mt19937 random(seed);
    std::vector<std::string> lines;
    for (unsigned i = 0; i < count; ++i) {
        switch (random() % 8) {
        case 0:
        case 1:
        case 2:
        case 3: {
            std::string panel, control;
            if (controls.empty()) {
                const auto& fallback = pick(random, kFallbackControls);
                panel = fallback[0];
                control = fallback[1];
            } else {
                panel = controls[random() % controls.size()].first;
                control = controls[random() % controls.size()].second;
            }
            lines.push_back("event " + panel + " " + control + " " + pick(random, kEventTexts));
            break;
        }
        case 4:
        case 5:
            lines.push_back(std::string("request ") + pick(random, kRequests));
            break;
        case 6:
            lines.push_back("timer " + std::to_string(random() % 10));
            break;
        default: {
            const int codes[] = {1, 6, 7, 0, 8, -1};
            lines.push_back("code " + std::to_string(pick(random, codes)) + " " + std::to_string(random() % 100));
            break;
        }
        }
    }
    return lines;
}

std::vector<std::string> shortestFailing(std::vector<std::string> lines,
                                         const std::function<bool(const std::vector<std::string>&)>& fails) {
    for (size_t i = lines.size(); i-- > 0;) {
        std::vector<std::string> shorter = lines;
        shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(i));
        if (fails(shorter)) lines = shorter;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}
