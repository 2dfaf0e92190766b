#pragma once
// What one check of `vorn-host validate` found.
#include <string>

namespace vorn_host {

enum class check_status { pass, fail, skip };

struct check_outcome {
    check_status status = check_status::pass;
    std::string reason;   // one line; empty for a plain pass
    std::string session;  // a session that reproduces a failure, when there is one

    static check_outcome passed(std::string reason = "") { return {check_status::pass, std::move(reason), ""}; }
    static check_outcome failed(std::string reason, std::string session = "") {
        return {check_status::fail, std::move(reason), std::move(session)};
    }
    static check_outcome skipped(std::string reason) { return {check_status::skip, std::move(reason), ""}; }
};

const char* statusName(check_status status);

// An outcome as one line of JSON, for a check run in another process to hand back; text that is
// no such line reads as a failure without a result.
std::string encodeOutcome(const check_outcome& outcome);
check_outcome decodeOutcome(const std::string& text);

}  // namespace vorn_host
