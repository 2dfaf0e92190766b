#pragma once
// What a session shows: the exchange in both directions, the host's state, contract breaches,
// warnings and failed expectations. For people as it happens, only problems with --quiet, or
// one JSON document at the end.
#include <ostream>
#include <string>
#include <vector>

#include "contract_rules.h"

namespace vorn_host {

enum class output_mode { people, quiet, json };

class session_report {
public:
    session_report(std::ostream& out, output_mode mode, rule_settings rules = rule_settings())
        : m_out(out), m_mode(mode), m_rules(std::move(rules)) {}

    // Several script objects at once: every line names its instance.
    void labelInstances(bool on) { m_labelInstances = on; }

    void hostCalls(int instance, int line, const std::string& description);
    void moduleSends(int instance, const std::string& command, const char* reply);
    void moduleHandsBack(int instance, const std::string& reply);
    void moduleAnswers(int instance, const char* answer);
    void hostState(const std::string& text);
    void note(const std::string& text);
    // A rule broken: a breach, a warning or nothing, as the rule's severity says.
    void breach(int instance, int line, const std::string& rule, const std::string& detail);
    void failure(int line, const std::string& message);

    // Writes what is still to be written (the JSON document).
    void finish();
    // No breach of an error rule and no failed expectation.
    bool clean() const { return m_problems == 0; }
    // The commands that instance sent, in order: its transcript.
    std::vector<std::string> sentBy(int instance) const;

    // Every entry so far, for a view that shows the exchange: kind ("host", "module", "answer",
    // "breach", "warning", ...), instance, session line, text and detail.
    struct shown_entry {
        std::string kind;
        int instance;
        int line;
        std::string text, detail;
    };
    std::vector<shown_entry> entries() const;

private:
    enum class entry_kind { host, module, handback, answer, state, note, breach, warning, failure };

    struct entry {
        entry_kind kind;
        int instance = 0;
        int line = 0;
        std::string text;    // the call, command, reply, answer, state, note, rule or message
        std::string detail;  // the reply to a command, or what broke a rule
        bool hasDetail = false;
    };

    static const char* kindName(entry_kind kind);
    static bool isProblem(entry_kind kind);
    void add(entry e);
    void printForPeople(const entry& e);

    std::ostream& m_out;
    output_mode m_mode;
    rule_settings m_rules;
    bool m_labelInstances = false;
    int m_problems = 0;
    std::vector<entry> m_entries;
};

}  // namespace vorn_host
