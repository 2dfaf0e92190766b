#pragma once
// A script on the script base that records what reaches its handlers and lets tests call the
// base's senders directly.
#include <functional>
#include <string>
#include <vector>

#include "vorn_script_helper.h"

class test_script : public vorn_script_helper {
public:
    using vorn_script_helper::alarmHandling;
    using vorn_script_helper::panelShow;
    using vorn_script_helper::routerConnect;
    using vorn_script_helper::sendCommand;
    using vorn_script_helper::textPut;
    using vorn_script_helper::timerStop;
    using vorn_script_helper::vorn_script_helper;

    struct control_seen {
        std::string panel, id, command, value;
        bool operator==(const control_seen& o) const {
            return panel == o.panel && id == o.id && command == o.command && value == o.value;
        }
    };

    std::vector<control_seen> controls;
    std::vector<std::string> requests;  // "command|value"
    std::vector<int> timers;
    std::vector<int> words;
    std::vector<void*> records;
    std::vector<void*> auxRecords;
    std::string answer;  // what every parameter request answers
    // Runs at the start of every handler: a test makes handlers fail with it.
    std::function<void()> beforeEachHandler = [] {};

protected:
    void controlCallback(control_event& event) override {
        beforeEachHandler();
        controls.push_back({static_cast<const char*>(event.panel()), static_cast<const char*>(event.id()),
                            static_cast<const char*>(event.command()), static_cast<const char*>(event.value())});
    }
    int recordCallback(host_record& record) override {
        beforeEachHandler();
        records.push_back(record.pointer());
        return 0;
    }
    vorn_string parameterCallback(parameter_request& request) override {
        beforeEachHandler();
        requests.push_back(std::string(static_cast<const char*>(request.command())) + "|" +
                           static_cast<const char*>(request.value()));
        return answer.c_str();
    }
    void wordCallback(int& word) override {
        beforeEachHandler();
        words.push_back(word);
    }
    void timerCallback(int id) override {
        beforeEachHandler();
        timers.push_back(id);
    }
    void auxRecordCallback(host_record& record) override {
        beforeEachHandler();
        auxRecords.push_back(record.pointer());
    }
};

// The script base's queries and alarm handling, opened to tests.
class query_script : public test_script {
public:
    using test_script::test_script;
    using vorn_script_helper::alarmAction;
    using vorn_script_helper::controlIdList;
    using vorn_script_helper::debugTrace;
    using vorn_script_helper::textGet;
};
