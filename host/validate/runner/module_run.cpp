#include "module_run.h"

#include <sstream>

#include "contract_rules.h"
#include "module_allocator.h"
#include "session.h"
#include "session_player.h"

namespace vorn_host {

played_session playSessionText(const module_setup& setup, const std::string& sessionText, int instances) {
    played_session result;
    std::istringstream in(sessionText);
    std::string error;
    const auto actions = readSession(in, "session", error);
    if (!actions) {
        result.clean = false;
        result.problems = error;
        return result;
    }
    std::ostringstream out;
    session_report report(out, output_mode::quiet, setup.rules);
    {
        player_options options;
        options.path = setup.path;
        options.instances = instances;
        options.panelDirs = setup.panelDirs;
        options.factoryMayFail = setup.factoryMayFail;
        session_player player(setup.factory, options, report);
        for (const session_action& action : *actions) player.play(action);
        player.finish();
    }
    result.clean = report.clean();
    result.problems = out.str();
    for (int i = 0; i < instances; ++i) result.commands.push_back(report.sentBy(i));
    return result;
}

direct_script::direct_script(const module_setup& setup, const char* path)
    : m_report(m_out, output_mode::quiet, setup.rules), m_host(0, setup.panelDirs, m_report) {
    m_host.beginAction(0, "create");
    module_allocator::armed_scope module(true);
    m_script = setup.factory(&m_host, path);
}

direct_script::~direct_script() {
    remove();
}

void direct_script::call(const std::string& what, void* param, int code) {
    if (!m_script) return;
    m_host.beginAction(0, what);
    char* returned = nullptr;
    {
        module_allocator::armed_scope module(true);
        returned = m_script->callback(param, code);
    }
    if (!returned) return;
    if (code != kCodeParameterRequest) {
        m_report.breach(0, 0, kRuleNonNullReturn, what);
        return;
    }
    if (!m_host.acceptAnswer(returned, static_cast<const char*>(param))) return;
    if (!m_holdAnswers) handBackAnswers();
}

void direct_script::handBackAnswers() {
    if (!m_script) return;
    for (char* answer : m_host.takeHeldAnswers()) {
        module_allocator::armed_scope module(true);
        m_script->callback(answer, kCodeRelease);
    }
}

void direct_script::remove() {
    if (!m_script) return;
    handBackAnswers();
    m_host.beginAction(0, "delete");
    {
        module_allocator::armed_scope module(true);
        vorn_delete_script(m_script);
    }
    m_script = nullptr;
    m_host.scriptDeleted();
}

std::string firstLine(const std::string& text) {
    const size_t end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

}  // namespace vorn_host
