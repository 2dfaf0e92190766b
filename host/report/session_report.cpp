#include "session_report.h"

#include <cstdio>

#include <nlohmann/json.hpp>

namespace vorn_host {

namespace {

// Control characters shown as escapes, so that every entry stays on one line.
std::string visible(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

const char* session_report::kindName(entry_kind kind) {
    switch (kind) {
    case entry_kind::host:
        return "host";
    case entry_kind::module:
        return "module";
    case entry_kind::handback:
        return "handback";
    case entry_kind::answer:
        return "answer";
    case entry_kind::state:
        return "state";
    case entry_kind::note:
        return "note";
    case entry_kind::breach:
        return "breach";
    case entry_kind::warning:
        return "warning";
    default:
        return "failure";
    }
}

bool session_report::isProblem(entry_kind kind) {
    return kind == entry_kind::breach || kind == entry_kind::failure;
}

void session_report::hostCalls(int instance, int line, const std::string& description) {
    add({entry_kind::host, instance, line, description, "", false});
}

void session_report::moduleSends(int instance, const std::string& command, const char* reply) {
    add({entry_kind::module, instance, 0, command, reply ? reply : "", reply != nullptr});
}

void session_report::moduleHandsBack(int instance, const std::string& reply) {
    add({entry_kind::handback, instance, 0, reply, "", false});
}

void session_report::moduleAnswers(int instance, const char* answer) {
    add({entry_kind::answer, instance, 0, answer ? answer : "", "", answer != nullptr});
}

void session_report::hostState(const std::string& text) {
    add({entry_kind::state, 0, 0, text, "", false});
}

void session_report::note(const std::string& text) {
    add({entry_kind::note, 0, 0, text, "", false});
}

void session_report::breach(int instance, int line, const std::string& rule, const std::string& detail) {
    const rule_severity severity = m_rules.of(rule);
    if (severity == rule_severity::ignore) return;
    add({severity == rule_severity::error ? entry_kind::breach : entry_kind::warning, instance, line, rule, detail,
         true});
}

void session_report::failure(int line, const std::string& message) {
    add({entry_kind::failure, 0, line, message, "", false});
}

void session_report::add(entry e) {
    if (isProblem(e.kind)) ++m_problems;
    const bool shown = m_mode == output_mode::people ||
                       (m_mode == output_mode::quiet && (isProblem(e.kind) || e.kind == entry_kind::warning));
    if (shown) printForPeople(e);
    m_entries.push_back(std::move(e));
}

std::vector<std::string> session_report::sentBy(int instance) const {
    std::vector<std::string> sent;
    for (const entry& e : m_entries) {
        if (e.kind == entry_kind::module && e.instance == instance) sent.push_back(e.text);
    }
    return sent;
}

std::vector<session_report::shown_entry> session_report::entries() const {
    std::vector<shown_entry> shown;
    for (const entry& e : m_entries) {
        const bool nullAnswer = e.kind == entry_kind::answer && !e.hasDetail;
        shown.push_back({kindName(e.kind), e.instance, e.line, nullAnswer ? "null" : e.text, e.detail});
    }
    return shown;
}

void session_report::printForPeople(const entry& e) {
    if (m_labelInstances && e.kind != entry_kind::state && e.kind != entry_kind::failure) {
        m_out << "[" << e.instance << "] ";
    }
    switch (e.kind) {
    case entry_kind::host:
        m_out << "host   > ";
        if (e.line) m_out << "line " << e.line << ": ";
        m_out << visible(e.text) << "\n";
        break;
    case entry_kind::module:
        m_out << "module > " << visible(e.text);
        if (e.hasDetail) m_out << "    (reply: " << visible(e.detail) << ")";
        m_out << "\n";
        break;
    case entry_kind::handback:
        m_out << "module < hands back reply " << visible(e.text) << "\n";
        break;
    case entry_kind::answer:
        m_out << "host   < answer: " << (e.hasDetail ? visible(e.text) : "null") << "\n";
        break;
    case entry_kind::state:
        m_out << e.text;
        break;
    case entry_kind::note:
        m_out << "note: " << visible(e.text) << "\n";
        break;
    case entry_kind::breach:
    case entry_kind::warning:
        m_out << (e.kind == entry_kind::breach ? "BREACH " : "WARNING ") << e.text;
        if (e.line) m_out << " at line " << e.line;
        m_out << ": " << visible(e.detail) << "\n";
        break;
    case entry_kind::failure:
        m_out << "FAILED line " << e.line << ": " << visible(e.text) << "\n";
        break;
    }
}

void session_report::finish() {
    if (m_mode != output_mode::json) return;
    using json = nlohmann::ordered_json;
    json exchange = json::array(), breaches = json::array(), warnings = json::array(), failures = json::array();
    for (const entry& e : m_entries) {
        json item = {{"kind", kindName(e.kind)}, {"instance", e.instance}, {"line", e.line}, {"text", e.text}};
        if (e.kind == entry_kind::module && e.hasDetail) item["reply"] = e.detail;
        if (e.kind == entry_kind::answer && !e.hasDetail) item["null"] = true;
        if (e.kind == entry_kind::breach || e.kind == entry_kind::warning) item["detail"] = e.detail;
        exchange.push_back(item);
        const json rule = {{"rule", e.text}, {"instance", e.instance}, {"line", e.line}, {"detail", e.detail}};
        if (e.kind == entry_kind::breach) breaches.push_back(rule);
        if (e.kind == entry_kind::warning) warnings.push_back(rule);
        if (e.kind == entry_kind::failure) failures.push_back({{"line", e.line}, {"message", e.text}});
    }
    const json document = {{"clean", clean()},
                           {"exchange", exchange},
                           {"breaches", breaches},
                           {"warnings", warnings},
                           {"failures", failures}};
    m_out << document.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

}  // namespace vorn_host
