// The commands through which a script acts on its panel and on the router.
#include "command_fields.h"
#include "vorn_script_helper.h"

#include <cstdio>

bool vorn_script_helper::panelShow(const vorn_string& panel, const vorn_string& file,
                                   const vorn_string& extra) {
    vorn_string text(kPanelShowStart);
    text += panel;
    appendQuotedField(text, scriptPath.length() > 0 ? scriptPath + kPathSeparator + file : file);
    text += kFieldEnd;
    if (extra.length() > 0) {
        text += kExtraFieldStart;
        text += extra;
        text += kFieldEnd;
    }
    if (!hostLink) return true;
    return send(text) != nullptr;
}

void vorn_script_helper::textPut(const vorn_string& property, const vorn_string& value,
                                 const vorn_string& panel, const vorn_string& control) {
    vorn_string text(kTextPutStart);
    text += property;
    text += kPropertyAssign;
    text += value;
    appendQuotedField(text, panel);
    appendQuotedField(text, control);
    text += kFieldEnd;
    send(text);
}

void vorn_script_helper::routerConnect(int device, int source, int destination,
                                       const vorn_string& extra, bool flag) {
    const vorn_string text = vorn_string(kRouterConnectFormat)
                                 .arg(device, 0, 0, 10)
                                 .arg(source, 0, 0, 10)
                                 .arg(destination, 0, 0, 10)
                                 .arg(flag ? 1 : 0, 0, 0, 10)
                                 .arg(extra);
    send(text);
}

void vorn_script_helper::timerStop(int id) {
    char text[32];
    std::snprintf(text, sizeof text, kTimerStopFormat, id);
    send(text);
}

char* vorn_script_helper::send(const char* text) {
    if (!hostLink) return nullptr;
    return hostLink->hostCommand(text, kHostPerform);
}
