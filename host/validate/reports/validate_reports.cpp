#include "validate_reports.h"

#include <algorithm>
#include <fstream>
#include <iostream>

namespace vorn_host {

bool anyFailed(const std::vector<check_result>& results) {
    return std::any_of(results.begin(), results.end(),
                       [](const check_result& r) { return r.outcome.status == check_status::fail; });
}

namespace {

// A failing check's session, kept beside the run for `vorn-host MODULE SESSION`.
std::string writeSession(const check_result& result, uint32_t seed) {
    const std::string file = std::string("vorn-host-") + result.check->id + "-" + std::to_string(seed) + ".session";
    std::ofstream out(file);
    out << "# " << result.check->id << ", seed " << seed << ": " << result.outcome.reason << "\n"
        << result.outcome.session;
    return out ? file : "";
}

}  // namespace

void printForPeople(const std::vector<check_result>& results, const std::string& module, uint32_t seed) {
    int failed = 0, skipped = 0;
    for (const check_result& r : results) {
        const check_outcome& o = r.outcome;
        std::cout << (o.status == check_status::pass   ? "PASS "
                      : o.status == check_status::skip ? "SKIP "
                                                       : "FAIL ")
                  << r.check->id << ": " << r.check->description;
        if (!o.reason.empty()) std::cout << " (" << o.reason << ")";
        std::cout << "\n";
        if (o.status == check_status::skip) ++skipped;
        if (o.status != check_status::fail) continue;
        ++failed;
        std::cout << "     hint: " << r.check->hint << "\n";
        if (o.session.empty()) continue;
        std::cout << "     session that reproduces it (replay: --seed " << seed << "):\n";
        const std::string file = writeSession(r, seed);
        std::cout << o.session;
        if (!file.empty())
            std::cout << "     written to " << file << "; run: vorn-host " << module << " " << file << "\n";
    }
    std::cout << results.size() << " checks: " << results.size() - failed - skipped << " passed, " << failed
              << " failed, " << skipped << " skipped (seed " << seed << ")\n";
}

nlohmann::json asJson(const std::vector<check_result>& results, const std::string& module, uint32_t seed) {
    nlohmann::json checks = nlohmann::json::array();
    for (const check_result& r : results) {
        checks.push_back({{"id", r.check->id},
                          {"description", r.check->description},
                          {"status", statusName(r.outcome.status)},
                          {"reason", r.outcome.reason},
                          {"hint", r.check->hint},
                          {"session", r.outcome.session},
                          {"seconds", r.seconds}});
    }
    return {{"module", module}, {"seed", seed}, {"passed", !anyFailed(results)}, {"checks", checks}};
}

namespace {

std::string xmlText(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (c < 0x20 && c != '\n' && c != '\t') {
                out += '?';
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

}  // namespace

bool writeJunit(const std::string& file, const std::vector<check_result>& results, uint32_t seed) {
    int failures = 0, skipped = 0;
    double seconds = 0;
    for (const check_result& r : results) {
        failures += r.outcome.status == check_status::fail;
        skipped += r.outcome.status == check_status::skip;
        seconds += r.seconds;
    }
    std::ofstream out(file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<testsuites>\n<testsuite name=\"vorn-host validate\" tests=\"" << results.size() << "\" failures=\""
        << failures << "\" errors=\"0\" skipped=\"" << skipped << "\" time=\"" << seconds << "\">\n"
        << "  <properties><property name=\"seed\" value=\"" << seed << "\"/></properties>\n";
    for (const check_result& r : results) {
        out << "  <testcase classname=\"validate\" name=\"" << r.check->id << "\" time=\"" << r.seconds << "\">";
        if (r.outcome.status == check_status::fail) {
            out << "<failure message=\"" << xmlText(r.outcome.reason) << "\">" << xmlText(r.check->hint)
                << (r.outcome.session.empty() ? "" : "\n" + xmlText(r.outcome.session)) << "</failure>";
        } else if (r.outcome.status == check_status::skip) {
            out << "<skipped message=\"" << xmlText(r.outcome.reason) << "\"/>";
        }
        out << "</testcase>\n";
    }
    out << "</testsuite>\n</testsuites>\n";
    return static_cast<bool>(out);
}

}  // namespace vorn_host
