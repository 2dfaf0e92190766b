#pragma once
// What a session shows: the exchange in both directions, the host's state, contract breaches
// and failed expectations. For people as it happens, only problems with --quiet, or one JSON
// document at the end.
#include <ostream>
#include <string>
#include <vector>

enum class output_mode { people, quiet, json };

class session_report {
public:
    session_report(std::ostream& out, output_mode mode) : m_out(out), m_mode(mode) {}

    // Several script objects at once: every line names its instance.
    void labelInstances(bool on) { m_labelInstances = on; }

    void hostCalls(int instance, int line, const std::string& description);
    void moduleSends(int instance, const std::string& command, const char* reply);
    void moduleHandsBack(int instance, const std::string& reply);
    void moduleAnswers(int instance, const char* answer);
    void hostState(const std::string& text);
    void note(const std::string& text);
    void breach(int instance, int line, const std::string& rule, const std::string& detail);
    void failure(int line, const std::string& message);

    // Writes what is still to be written (the JSON document).
    void finish();
    bool clean() const { return m_problems == 0; }
    // The commands that instance sent, in order: its transcript.
    std::vector<std::string> sentBy(int instance) const;

private:
    struct entry {
        std::string kind;
        int instance;
        int line;
        std::string text;
        std::string detail;
        bool hasDetail;
    };

    void add(const entry& e);
    void printForPeople(const entry& e);
    static void writeJsonString(std::ostream& out, const std::string& text);
    // Writes the entries of one kind as the items of a JSON list.
    template <typename WriteEntry>
    void writeJsonList(const std::string& kind, WriteEntry writeEntry);

    std::ostream& m_out;
    output_mode m_mode;
    bool m_labelInstances = false;
    int m_problems = 0;
    std::vector<entry> m_entries;
};
