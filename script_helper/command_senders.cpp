// The commands through which a script acts on its panel and on the router.
#include "command_texts.h"
#include "compiled_format.h"
#include "debug_output.h"
#include "filled_text.h"
#include "vorn_script_helper.h"

#include <cstdio>

namespace {

// The senders' formats, compiled with the module.
constexpr compiled_format kPanelShow = compiledFormat(kPanelShowFormat);
constexpr compiled_format kPanelShowWithPath = compiledFormat(kPanelShowWithPathFormat);
constexpr compiled_format kPanelShowExtra = compiledFormat(kPanelShowExtraFormat);
constexpr compiled_format kPanelShowWithPathExtra = compiledFormat(kPanelShowWithPathExtraFormat);
constexpr compiled_format kTextPut = compiledFormat(kTextPutFormat);
constexpr compiled_format kRouterConnect = compiledFormat(kRouterConnectFormat);
constexpr compiled_format kTimerStop = compiledFormat(kTimerStopFormat);

// Traces a command that is not sent, up to its first line break.
void traceLineBreak(const char* text, unsigned lineBreakAt) {
    char trace[160];
    std::snprintf(trace, sizeof trace, kLineBreakTrace, static_cast<int>(lineBreakAt), text);
    platformDebugOutput(trace);
}

}  // namespace

bool vorn_script_helper::panelShow(text_view panel, text_view file, text_view extra) {
    if (!hostLink) return true;
    const bool withPath = scriptPath.length() > 0;
    if (withPath && extra.length() > 0) {
        return send(filled_text(kPanelShowWithPathExtra, {panel, scriptPath, file, extra})) != nullptr;
    }
    if (withPath) return send(filled_text(kPanelShowWithPath, {panel, scriptPath, file})) != nullptr;
    if (extra.length() > 0) return send(filled_text(kPanelShowExtra, {panel, file, extra})) != nullptr;
    return send(filled_text(kPanelShow, {panel, file})) != nullptr;
}

void vorn_script_helper::textPut(text_view property, text_view value, text_view panel, text_view control) {
    send(filled_text(kTextPut, {property, value, panel, control}));
}

void vorn_script_helper::routerConnect(int device, int source, int destination, text_view extra, bool flag) {
    send(filled_text(kRouterConnect, {decimal_number(device), decimal_number(source), decimal_number(destination),
                                      extra, flag ? kTruthText : kFalsehoodText}));
}

void vorn_script_helper::timerStop(int id) {
    send(filled_text(kTimerStop, {decimal_number(id)}));
}

// A text with a line break would reach the host as two commands: it is traced, not sent.
char* vorn_script_helper::send(const filled_text& text) {
    if (!hostLink) return nullptr;
    if (text.lineBreakAt() != kNoLineBreak) {
        traceLineBreak(text.text(), text.lineBreakAt());
        return nullptr;
    }
    return hostLink->hostCommand(text.text(), kHostPerform);
}

void vorn_script_helper::sendFixed(const char* text, unsigned lineBreakAt) {
    if (!hostLink) return;
    if (lineBreakAt != kNoLineBreak) {
        traceLineBreak(text, lineBreakAt);
        return;
    }
    hostLink->hostCommand(text, kHostPerform);
}
