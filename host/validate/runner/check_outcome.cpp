#include "check_outcome.h"

#include <nlohmann/json.hpp>

namespace vorn_host {

const char* statusName(check_status status) {
    switch (status) {
    case check_status::pass:
        return "pass";
    case check_status::skip:
        return "skip";
    default:
        return "fail";
    }
}

std::string encodeOutcome(const check_outcome& outcome) {
    return nlohmann::json{
        {"status", statusName(outcome.status)}, {"reason", outcome.reason}, {"session", outcome.session}}
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

check_outcome decodeOutcome(const std::string& text) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) return check_outcome::failed("the check ended without a result");
    check_outcome outcome;
    const std::string status = json.value("status", "");
    outcome.status = status == "pass" ? check_status::pass : status == "skip" ? check_status::skip : check_status::fail;
    outcome.reason = json.value("reason", "");
    outcome.session = json.value("session", "");
    return outcome;
}

}  // namespace vorn_host
