#include "session_player.h"
#include "vorn_boundary_words.h"

#include <chrono>
#include <cstdint>
#include <sstream>

#include "contract_rules.h"
#include "module_allocator.h"
#include "event_record.h"

namespace vorn_host {

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

// A call into the module: only allocations made while it runs count as the module's, and a
// call over the time limit breaks a rule.
template <typename Call>
auto session_player::intoModule(int index, int line, const std::string& what, Call call) {
    const simulated_host& host = *m_instances[static_cast<size_t>(index)].host;
    const auto start = std::chrono::steady_clock::now();
    const auto hostBefore = host.hostTime();
    auto result = [&] {
        module_allocator::armed_scope module(true);
        return call();
    }();
    const auto moduleTime = std::chrono::steady_clock::now() - start - (host.hostTime() - hostBefore);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(moduleTime);
    if (took.count() > static_cast<long long>(m_slowCallbackMs)) {
        m_report.breach(index, line, kRuleSlowCallback, what + " took " + std::to_string(took.count()) + " ms");
    }
    return result;
}

session_player::session_player(load_vorn_client_script_fn factory, const player_options& options,
                               session_report& report)
    : m_report(report),
      m_factoryMayFail(options.factoryMayFail),
      m_slowCallbackMs(options.slowCallbackMs),
      m_recorder(options.recorder) {
    report.labelInstances(options.instances > 1);
    m_instances.resize(static_cast<size_t>(options.instances));
    for (size_t i = 0; i < m_instances.size(); ++i) {
        instance& in = m_instances[i];
        const int index = static_cast<int>(i);
        in.host = std::make_unique<simulated_host>(index, options.panelDirs, report, options.routers);
        in.host->beginAction(0, "create");
        report.hostCalls(index, 0, "load_vorn_client_script(path " + quoted(options.path) + ")");
        in.script = intoModule(index, 0, "load_vorn_client_script",
                               [&] { return factory(in.host.get(), options.path.c_str()); });
        if (!in.script && !m_factoryMayFail) report.failure(0, "the factory returned no script");
        in.sinceAction = in.host->takeReceived();
        if (m_recorder && index == 0) m_recorder->created(in.sinceAction);
    }
}

session_player::~session_player() {
    finish();
}

void session_player::play(const session_action& action) {
    if (!action.isExpectation()) closeExpectations();
    for (size_t i = 0; i < m_instances.size(); ++i) {
        instance& in = m_instances[i];
        const int index = static_cast<int>(i);
        if (action.isExpectation()) {
            check(index, in, action);
            continue;
        }
        if (!in.script) {
            if (!m_factoryMayFail) m_report.failure(action.line, "no script to act on: it was deleted");
            continue;
        }
        in.host->beginAction(action.line, action.source);
        m_report.hostCalls(index, action.line, action.source);
        perform(index, in, action);
        in.sinceAction = in.host->takeReceived();
        in.expectedSoFar = 0;
        if (m_recorder && index == 0) m_recorder->played(action, in.sinceAction, in.lastAnswer);
    }
}

void session_player::perform(int index, instance& in, const session_action& action) {
    char* returned = nullptr;
    switch (action.kind) {
    case action_kind::event: {
        event_record event(action.panel, action.control, action.text);
        returned = intoModule(index, action.line, action.source,
                              [&] { return in.script->callback(event.record(), kCodeControlEvent); });
        break;
    }
    case action_kind::request:
        request(index, in, action);
        return;
    case action_kind::code:
        if (action.code == kCodeTimer) in.host->startTimer(action.number);
        returned = intoModule(index, action.line, action.source,
                              [&] { return in.script->callback(vorn_param_carrying(action.number), action.code); });
        break;
    case action_kind::show: {
        std::ostringstream state;
        in.host->printState(state);
        m_report.hostState(state.str());
        return;
    }
    case action_kind::remove:
        deleteScript(index, in, action.line);
        return;
    default:
        return;
    }
    if (returned) m_report.breach(index, action.line, kRuleNonNullReturn, action.source);
}

void session_player::request(int index, instance& in, const session_action& action) {
    std::vector<char> hostText(action.text.begin(), action.text.end());
    hostText.push_back('\0');
    char* answer = intoModule(index, action.line, action.source,
                              [&] { return in.script->callback(hostText.data(), kCodeParameterRequest); });
    m_report.moduleAnswers(index, answer);
    in.lastAnswer.reset();
    if (!answer) return;
    if (answer != hostText.data()) in.lastAnswer = std::string(answer);
    in.host->acceptAnswer(answer, hostText.data());
}

// Hands back every answer still held, deletes the script, and checks how it left.
void session_player::deleteScript(int index, instance& in, int line) {
    for (char* answer : in.host->takeHeldAnswers()) {
        intoModule(index, line, "hand back an answer", [&] { return in.script->callback(answer, kCodeRelease); });
    }
    intoModule(index, line, "delete", [&] {
        vorn_delete_script(in.script);
        return true;
    });
    in.script = nullptr;
    in.host->scriptDeleted();
}

void session_player::check(int index, instance& in, const session_action& expectation) {
    const std::string who = m_instances.size() > 1 ? " (instance " + std::to_string(index) + ")" : "";
    switch (expectation.kind) {
    case action_kind::expect: {
        m_lastExpectLine = expectation.line;
        const size_t position = in.expectedSoFar++;
        if (position >= in.sinceAction.size()) {
            m_report.failure(expectation.line,
                             "expected " + quoted(expectation.text) + ", received nothing more" + who);
        } else if (in.sinceAction[position] != expectation.text) {
            m_report.failure(expectation.line, "expected " + quoted(expectation.text) + ", received " +
                                                   quoted(in.sinceAction[position]) + who);
        }
        break;
    }
    case action_kind::expectNothing:
        m_lastExpectLine = expectation.line;
        in.expectedSoFar = in.sinceAction.size();
        for (const std::string& received : in.sinceAction) {
            m_report.failure(expectation.line, "expected nothing, received " + quoted(received) + who);
        }
        break;
    case action_kind::answer:
        if (in.lastAnswer != expectation.text) {
            m_report.failure(expectation.line, "expected answer " + quoted(expectation.text) + ", received " +
                                                   (in.lastAnswer ? quoted(*in.lastAnswer) : std::string("null")) +
                                                   who);
        }
        break;
    case action_kind::answerNull:
        if (in.lastAnswer) {
            m_report.failure(expectation.line, "expected answer null, received " + quoted(*in.lastAnswer) + who);
        }
        break;
    default:
        break;
    }
}

// Commands that came after the last expect line of an action were not expected.
void session_player::closeExpectations() {
    if (!m_lastExpectLine) return;
    for (size_t i = 0; i < m_instances.size(); ++i) {
        instance& in = m_instances[i];
        const std::string who = m_instances.size() > 1 ? " (instance " + std::to_string(i) + ")" : "";
        for (size_t k = in.expectedSoFar; k < in.sinceAction.size(); ++k) {
            m_report.failure(m_lastExpectLine,
                             "received " + quoted(in.sinceAction[k]) + " after the expected commands" + who);
        }
        in.expectedSoFar = in.sinceAction.size();
    }
    m_lastExpectLine = 0;
}

bool session_player::takeRouterReports(unsigned waitMs) {
    bool changed = false;
    for (instance& in : m_instances) changed = in.host->takeRouterReports(waitMs) || changed;
    return changed;
}

std::vector<vorn_tcp*> session_player::routerConnections() const {
    return m_instances.empty() ? std::vector<vorn_tcp*>{} : m_instances.front().host->routerConnections();
}

void session_player::finish() {
    if (m_finished) return;
    m_finished = true;
    closeExpectations();
    for (size_t i = 0; i < m_instances.size(); ++i) {
        instance& in = m_instances[i];
        if (!in.script) continue;
        in.host->beginAction(0, "end of session");
        m_report.hostCalls(static_cast<int>(i), 0, "end of session: delete");
        deleteScript(static_cast<int>(i), in, 0);
        in.host->takeReceived();
    }
    for (const instance& in : m_instances) {
        std::ostringstream table;
        in.host->router().print(table);
        m_report.hostState(table.str());
    }
}

}  // namespace vorn_host
