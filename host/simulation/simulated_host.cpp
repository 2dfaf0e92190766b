#include "simulated_host.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "contract_rules.h"
#include "module_allocator.h"
#include "router_wire.h"
#include "whole_number.h"

namespace vorn_host {

namespace {

bool isOneLine(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

bool quotesBalance(const std::string& text) {
    return std::count(text.begin(), text.end(), '\'') % 2 == 0;
}

// A quoted field opens after a blank and closes before a blank or the line's end: a quote
// inside a field that is followed by anything else is an apostrophe of the field's text, which
// the host reads as the field's end.
bool fieldHoldsApostrophe(const std::string& line) {
    bool inField = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\'') continue;
        if (!inField) {
            inField = true;
        } else if (i + 1 == line.size() || line[i + 1] == ' ') {
            inField = false;
        } else {
            return true;
        }
    }
    return false;
}

}  // namespace

simulated_host::simulated_host(int instance, std::vector<std::string> panelDirs, session_report& report,
                               const router_links* routers)
    : m_instance(instance),
      m_panelDirs(std::move(panelDirs)),
      m_report(report),
      m_routers(routers),
      m_ledger([this](const char* rule, const std::string& detail) { breach(rule, detail); }) {}

simulated_host::~simulated_host() = default;

void simulated_host::hostReserved() {
    breach(kRuleUnknownHostCode, "the host's first operation is not for script modules");
}

char* simulated_host::hostCommand(const char* text, int code) {
    module_allocator::armed_scope hostSide(false);
    const auto start = std::chrono::steady_clock::now();
    struct time_kept {
        std::chrono::steady_clock::duration& total;
        std::chrono::steady_clock::time_point start;
        ~time_kept() { total += std::chrono::steady_clock::now() - start; }
    } kept{m_hostTime, start};
    if (code == kHostRelease) {
        takeBack(text);
        return nullptr;
    }
    if (code != kHostPerform) {
        breach(kRuleUnknownHostCode, "hostCommand code " + std::to_string(code));
        return nullptr;
    }
    if (!text) {
        breach(kRuleMalformedCommand, "null command text");
        return nullptr;
    }
    return perform(text);
}

char* simulated_host::perform(const std::string& line) {
    m_received.push_back(line);
    if (!m_ledger.acceptCommand(line, line == kHostDetachCommand.word)) {
        m_report.moduleSends(m_instance, line, nullptr);
        return nullptr;
    }
    if (!isOneLine(line)) {
        m_report.moduleSends(m_instance, line, nullptr);
        breach(kRuleNotOneLine, line);
        return nullptr;
    }
    if (fieldHoldsApostrophe(line)) {
        m_report.moduleSends(m_instance, line, nullptr);
        breach(kRuleFieldContainsApostrophe, line);
        return nullptr;
    }
    const std::optional<command_text> command = splitCommandText(line);
    if (!command || !quotesBalance(line)) {
        m_report.moduleSends(m_instance, line, nullptr);
        breach(kRuleUnbalancedQuotes, line);
        return nullptr;
    }
    return performSplit(*command, line);
}

// The host's grammar: each command's word, the shape of its fields, and its work.
// One command a line.
// clang-format off
const simulated_host::command_entry simulated_host::kCommands[] = {
    {kPanelShowCommand, &simulated_host::panelShow},
    {kTextPutCommand, &simulated_host::textPut},
    {kRouterConnectCommand, &simulated_host::routerConnect},
    {kTimerStopCommand, &simulated_host::timerStop},
    {kHostDetachCommand, &simulated_host::hostDetach},
    {kTextGetCommand, &simulated_host::textGet},
    {kControlIdListCommand, &simulated_host::controlIdList},
};
// clang-format on

char* simulated_host::performSplit(const command_text& command, const std::string& line) {
    for (const command_entry& entry : kCommands) {
        if (command.word != entry.command.word) continue;
        fields_of fields = command.fieldsShaped(entry.command.fields);
        if (!fields && entry.command.fieldsWithExtra) fields = command.fieldsShaped(entry.command.fieldsWithExtra);
        const command_outcome outcome = (this->*entry.perform)(fields, line);
        m_report.moduleSends(m_instance, line, outcome.reply);
        if (!outcome.wellFormed) breach(kRuleMalformedCommand, line);
        return outcome.reply;
    }
    m_report.moduleSends(m_instance, line, nullptr);
    breach(kRuleUnknownCommand, line);
    return nullptr;
}

simulated_host::command_outcome simulated_host::panelShow(const fields_of& fields, const std::string&) {
    if (!fields) return {false, nullptr};
    return {true, showPanel(*fields)};
}

// "TP 'property=value' 'panel' 'control'".
simulated_host::command_outcome simulated_host::textPut(const fields_of& fields, const std::string& line) {
    if (!fields || (*fields)[0].find('=') == std::string::npos) return {false, nullptr};
    const std::string& setting = (*fields)[0];
    const size_t equals = setting.find('=');
    checkOnPanel((*fields)[1], (*fields)[2], line);
    m_panels.put((*fields)[1], (*fields)[2], setting.substr(0, equals), setting.substr(equals + 1));
    return {true, nullptr};
}

// "RC device source destination ',extra' flag".
simulated_host::command_outcome simulated_host::routerConnect(const fields_of& fields, const std::string& line) {
    const auto device = fields ? wholeNumber((*fields)[0]) : std::nullopt;
    const auto source = fields ? wholeNumber((*fields)[1]) : std::nullopt;
    const auto destination = fields ? wholeNumber((*fields)[2]) : std::nullopt;
    const bool wellFormed = device && source && destination && (*fields)[3].rfind(",", 0) == 0 &&
                            ((*fields)[4] == "0" || (*fields)[4] == "1");
    if (wellFormed) connectRoute(*device, *source, *destination, line);
    return {wellFormed, nullptr};
}

simulated_host::command_outcome simulated_host::timerStop(const fields_of& fields, const std::string&) {
    const auto id = fields ? wholeNumber((*fields)[0]) : std::nullopt;
    if (id) m_runningTimers.erase(*id);
    return {id.has_value(), nullptr};
}

// "AS" ends the script's commands, with fields or without.
simulated_host::command_outcome simulated_host::hostDetach(const fields_of& fields, const std::string&) {
    m_ledger.detach();
    return {fields.has_value(), nullptr};
}

simulated_host::command_outcome simulated_host::textGet(const fields_of& fields, const std::string& line) {
    if (!fields) return {false, nullptr};
    checkOnPanel((*fields)[0], (*fields)[1], line);
    return {true, giveReply(m_panels.get((*fields)[0], (*fields)[1], (*fields)[2]), line)};
}

simulated_host::command_outcome simulated_host::controlIdList(const fields_of& fields, const std::string& line) {
    if (!fields) return {false, nullptr};
    return {true, giveReply(m_panels.controlIds((*fields)[0], (*fields)[1]), line)};
}

char* simulated_host::showPanel(const std::vector<std::string>& fields) {
    std::string error;
    if (!m_panels.show(fields[0], resolvePanelFile(fields[1]), error)) {
        m_report.note(error);
        return nullptr;
    }
    return const_cast<char*>(m_panelShown.c_str());
}

std::string simulated_host::resolvePanelFile(const std::string& file) const {
    if (file.empty() || file[0] == '/') return file;
    for (const std::string& dir : m_panelDirs) {
        const std::string candidate = dir + "/" + file;
        if (std::ifstream(candidate)) return candidate;
    }
    return file;
}

char* simulated_host::giveReply(const std::optional<std::string>& reply, const std::string& command) {
    return reply ? m_ledger.giveReply(*reply, command) : nullptr;
}

void simulated_host::takeBack(const char* reply) {
    if (m_ledger.takeBack(reply, m_panelShown.c_str())) m_report.moduleHandsBack(m_instance, reply);
}

void simulated_host::beginAction(int line, const std::string& action) {
    m_line = line;
    m_action = action;
}

std::vector<std::string> simulated_host::takeReceived() {
    std::vector<std::string> received;
    received.swap(m_received);
    return received;
}

bool simulated_host::acceptAnswer(const char* answer, const char* requestText) {
    return m_ledger.acceptAnswer(answer, requestText);
}

std::vector<char*> simulated_host::takeHeldAnswers() {
    return m_ledger.takeHeldAnswers();
}

void simulated_host::scriptDeleted() {
    m_ledger.scriptDeleted();
}

void simulated_host::printState(std::ostream& out) const {
    m_panels.print(out);
    m_router.print(out);
    out << "timers running:";
    if (m_runningTimers.empty()) out << " none";
    for (long id : m_runningTimers) out << " " << id;
    out << "\n";
}

void simulated_host::connectRoute(long device, long source, long destination, const std::string& line) {
    router_link* link = m_routers ? m_routers->linkFor(device) : nullptr;
    if (!link) {
        m_router.connect(device, source, destination);
        return;
    }
    const std::optional<int> wireSource = toWire(source, link->inputs());
    const std::optional<int> wireDestination = toWire(destination, link->outputs());
    if (!wireSource || !wireDestination) {
        breach(kRuleRouteOutOfRange, line + " (the router has " + std::to_string(link->inputs()) + " inputs and " +
                                         std::to_string(link->outputs()) + " outputs)");
        return;
    }
    switch (link->route(*wireDestination, *wireSource)) {
    case router_link::route_result::confirmed:
        break;
    case router_link::route_result::nak:
        breach(kRuleRouterNak, line);
        break;
    case router_link::route_result::locked:
        breach(kRuleRouterLocked, line + " (" + link->lastProblem() + ")");
        break;
    case router_link::route_result::unconfirmed:
        breach(kRuleRouteUnconfirmed, line);
        break;
    case router_link::route_result::no_ack:
        breach(kRuleRouterNoAck, line);
        break;
    case router_link::route_result::lost:
        breach(kRuleRouterConnectionLost, line + " (" + link->lastProblem() + ")");
        break;
    case router_link::route_result::reply_too_long:
        breach(kRuleRouterReplyTooLong, line + " (" + link->lastProblem() + ")");
        break;
    }
    showReported(device, *link);
}

void simulated_host::showReported(long device, const router_link& link) {
    const router_view& view = link.reported();
    router_model::reported_router reported;
    reported.sources = link.inputs();
    reported.destinations = link.outputs();
    for (const auto& [wireOut, wireIn] : view.routing) reported.routing[fromWire(wireOut)] = fromWire(wireIn);
    for (const auto& [wire, label] : view.sourceLabels) reported.sourceLabels[fromWire(wire)] = label;
    for (const auto& [wire, label] : view.destinationLabels) reported.destinationLabels[fromWire(wire)] = label;
    m_router.report(device, reported);
}

bool simulated_host::takeRouterReports(unsigned waitMs) {
    if (!m_routers) return false;
    module_allocator::armed_scope hostSide(false);
    bool changed = false;
    for (const auto& [device, link] : m_routers->all()) {
        // The first look shows what the router reported on connecting.
        const bool firstLook = m_router.reported().count(device) == 0;
        if (link->refresh(waitMs) || firstLook) {
            showReported(device, *link);
            changed = true;
        }
    }
    return changed;
}

std::vector<vorn_tcp*> simulated_host::routerConnections() const {
    return m_routers ? m_routers->openConnections() : std::vector<vorn_tcp*>{};
}

void simulated_host::checkOnPanel(const std::string& panel, const std::string& control, const std::string& line) {
    if (!m_panels.lists(panel, control)) breach(kRuleControlNotOnPanel, line);
}

void simulated_host::breach(const char* rule, const std::string& detail) {
    m_report.breach(m_instance, m_line, rule, m_action.empty() ? detail : m_action + ": " + detail);
}

}  // namespace vorn_host
