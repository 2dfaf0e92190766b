// The commands through which a script acts on its panel and on the router.
#include "command_texts.h"
#include "debug_output.h"
#include "filled_text.h"
#include "vorn_script_helper.h"

#include <cstdio>
#include <cstring>

namespace {

const char* panelShowFormat(bool withPath, bool withExtra) {
    if (withPath) return withExtra ? kPanelShowWithPathExtraFormat : kPanelShowWithPathFormat;
    return withExtra ? kPanelShowExtraFormat : kPanelShowFormat;
}

// Traces a command that is not sent, up to its first line break.
void traceLineBreak(const char* text, const char* lineBreak) {
    char trace[160];
    std::snprintf(trace, sizeof trace, kLineBreakTrace, static_cast<int>(lineBreak - text), text);
    platformDebugOutput(trace);
}

}  // namespace

bool vorn_script_helper::panelShow(const vorn_string& panel, const vorn_string& file,
                                   const vorn_string& extra) {
    const filled_text text(panelShowFormat(scriptPath.length() > 0, extra.length() > 0),
                           {panel, scriptPath, file, extra});
    if (!hostLink) return true;
    return send(text.text()) != nullptr;
}

void vorn_script_helper::textPut(const vorn_string& property, const vorn_string& value,
                                 const vorn_string& panel, const vorn_string& control) {
    send(filled_text(kTextPutFormat, {property, value, panel, control}).text());
}

void vorn_script_helper::routerConnect(int device, int source, int destination,
                                       const vorn_string& extra, bool flag) {
    send(filled_text(kRouterConnectFormat, {decimal_number(device), decimal_number(source),
                                            decimal_number(destination), extra,
                                            decimal_number(flag ? 1 : 0)})
             .text());
}

void vorn_script_helper::timerStop(int id) {
    send(filled_text(kTimerStopFormat, {decimal_number(id)}).text());
}

// A text with a line break would reach the host as two commands: it is traced, not sent.
char* vorn_script_helper::send(const char* text) {
    if (!hostLink) return nullptr;
    const char* lineBreak = std::strpbrk(text, kLineBreaks);
    if (lineBreak) {
        traceLineBreak(text, lineBreak);
        return nullptr;
    }
    return hostLink->hostCommand(text, kHostPerform);
}
