#include "session_report.h"

#include <cstdio>

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

bool isProblem(const std::string& kind) {
    return kind == "breach" || kind == "failure";
}

}  // namespace

void session_report::hostCalls(int instance, int line, const std::string& description) {
    add({"host", instance, line, description, "", false});
}

void session_report::moduleSends(int instance, const std::string& command, const char* reply) {
    add({"module", instance, 0, command, reply ? reply : "", reply != nullptr});
}

void session_report::moduleHandsBack(int instance, const std::string& reply) {
    add({"handback", instance, 0, reply, "", false});
}

void session_report::moduleAnswers(int instance, const char* answer) {
    add({"answer", instance, 0, answer ? answer : "", "", answer != nullptr});
}

void session_report::hostState(const std::string& text) {
    add({"state", 0, 0, text, "", false});
}

void session_report::note(const std::string& text) {
    add({"note", 0, 0, text, "", false});
}

void session_report::breach(int instance, int line, const std::string& rule, const std::string& detail) {
    add({"breach", instance, line, rule, detail, true});
}

void session_report::failure(int line, const std::string& message) {
    add({"failure", 0, line, message, "", false});
}

void session_report::add(const entry& e) {
    if (isProblem(e.kind)) ++m_problems;
    m_entries.push_back(e);
    if (m_mode == output_mode::people || (m_mode == output_mode::quiet && isProblem(e.kind))) {
        printForPeople(e);
    }
}

std::vector<std::string> session_report::sentBy(int instance) const {
    std::vector<std::string> sent;
    for (const entry& e : m_entries) {
        if (e.kind == "module" && e.instance == instance) sent.push_back(e.text);
    }
    return sent;
}

void session_report::printForPeople(const entry& e) {
    if (m_labelInstances && e.kind != "state" && e.kind != "failure") m_out << "[" << e.instance << "] ";
    if (e.kind == "host") {
        m_out << "host   > ";
        if (e.line) m_out << "line " << e.line << ": ";
        m_out << visible(e.text) << "\n";
    } else if (e.kind == "module") {
        m_out << "module > " << visible(e.text);
        if (e.hasDetail) m_out << "    (reply: " << visible(e.detail) << ")";
        m_out << "\n";
    } else if (e.kind == "handback") {
        m_out << "module < hands back reply " << visible(e.text) << "\n";
    } else if (e.kind == "answer") {
        m_out << "host   < answer: " << (e.hasDetail ? visible(e.text) : "null") << "\n";
    } else if (e.kind == "state") {
        m_out << e.text;
    } else if (e.kind == "note") {
        m_out << "note: " << visible(e.text) << "\n";
    } else if (e.kind == "breach") {
        m_out << "BREACH " << e.text;
        if (e.line) m_out << " at line " << e.line;
        m_out << ": " << visible(e.detail) << "\n";
    } else {
        m_out << "FAILED line " << e.line << ": " << visible(e.text) << "\n";
    }
}

void session_report::finish() {
    if (m_mode != output_mode::json) return;
    m_out << "{\n  \"clean\": " << (clean() ? "true" : "false") << ",\n  \"exchange\": [";
    const char* separator = "\n";
    for (const entry& e : m_entries) {
        m_out << separator << "    {\"kind\": ";
        writeJsonString(m_out, e.kind);
        m_out << ", \"instance\": " << e.instance << ", \"line\": " << e.line << ", \"text\": ";
        writeJsonString(m_out, e.text);
        if (e.hasDetail && e.kind != "answer") {
            m_out << ", \"" << (e.kind == "breach" ? "detail" : "reply") << "\": ";
            writeJsonString(m_out, e.detail);
        }
        if (e.kind == "answer" && !e.hasDetail) m_out << ", \"null\": true";
        m_out << "}";
        separator = ",\n";
    }
    m_out << "\n  ],\n  \"breaches\": [";
    writeJsonList("breach", [this](const entry& e) {
        m_out << "{\"rule\": ";
        writeJsonString(m_out, e.text);
        m_out << ", \"instance\": " << e.instance << ", \"line\": " << e.line << ", \"detail\": ";
        writeJsonString(m_out, e.detail);
        m_out << "}";
    });
    m_out << "\n  ],\n  \"failures\": [";
    writeJsonList("failure", [this](const entry& e) {
        m_out << "{\"line\": " << e.line << ", \"message\": ";
        writeJsonString(m_out, e.text);
        m_out << "}";
    });
    m_out << "\n  ]\n}\n";
}

void session_report::writeJsonString(std::ostream& out, const std::string& text) {
    out << '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (c == '\n') {
            out << "\\n";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out << escaped;
        } else {
            out << c;
        }
    }
    out << '"';
}

template <typename WriteEntry>
void session_report::writeJsonList(const std::string& kind, WriteEntry writeEntry) {
    const char* separator = "\n    ";
    for (const entry& e : m_entries) {
        if (e.kind != kind) continue;
        m_out << separator;
        writeEntry(e);
        separator = ",\n    ";
    }
}
