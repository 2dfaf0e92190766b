#include "random_session.h"

#include <random>

namespace vorn_host {

namespace {

// Texts a host may hand in: ordinary ones, and ones that test a module's reading of them.
const char* const kEventTexts[] = {
    "value=1",  "value=7", "value=-3",          "value=", "press", "alarm=2", "alarm=ack", "%1",
    "value=%2", "a.b.c=d", "value=99999999999", "="};
// Requests that test the reading of any request text; the module's own come from its vocabulary.
const char* const kOddRequests[] = {"", "=", "a.b.c", "unknown=1", "return=unknown", "instance=%1"};
const char* const kParameterValues[] = {"12", "x", "-1", "%1"};

template <typename T, size_t N>
const T& pick(std::mt19937& random, const T (&items)[N]) {
    return items[random() % N];
}

template <typename T>
const T& pick(std::mt19937& random, const std::vector<T>& items) {
    return items[random() % items.size()];
}

// The module's own requests with assorted values, and odd texts, in equal measure.
std::string randomRequest(std::mt19937& random, const module_vocabulary& vocabulary) {
    if (random() % 2) return pick(random, kOddRequests);
    return pick(random, vocabulary.requests(pick(random, kParameterValues)));
}

}  // namespace

std::vector<std::string> randomSessionLines(uint32_t seed, const module_vocabulary& vocabulary, unsigned count) {
    std::mt19937 random(seed);
    const std::vector<panel_control> controls = vocabulary.controlsToExercise();
    std::vector<std::string> lines;
    for (unsigned i = 0; i < count; ++i) {
        switch (random() % 8) {
        case 0:
        case 1:
        case 2:
        case 3: {
            // Panel and control are picked apart, so that controls of other panels come too.
            const std::string& panel = pick(random, controls).first;
            const std::string& control = pick(random, controls).second;
            lines.push_back("event " + panel + " " + control + " " + pick(random, kEventTexts));
            break;
        }
        case 4:
        case 5:
            lines.push_back("request " + randomRequest(random, vocabulary));
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

}  // namespace vorn_host
