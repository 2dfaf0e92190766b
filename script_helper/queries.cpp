// Reading control properties back from the host and listing a panel's controls.
#include "command_texts.h"
#include "filled_text.h"
#include "host_reply.h"
#include "vorn_script_helper.h"

#include <cstring>

void vorn_script_helper::textGet(const vorn_string& property, const vorn_string& panel,
                                 const vorn_string& control, vorn_string& value) {
    host_reply reply(hostLink, send(filled_text(kTextGetFormat, {panel, control, property}).text()));
    if (reply.empty()) {
        value = "";
        return;
    }
    const vorn_string whole(reply.text());
    reply.handBack();

    if (property == kAllProperties) {
        value = whole;
        return;
    }
    vorn_string name, rest;
    whole.split(kPropertyAssign, name, rest);
    if (std::strcmp(name, property) == 0) {
        value = rest;
        return;
    }
    debugTrace(kTextGetMismatchTrace, name, property, whole, control, panel, "", "", "", "");
    value = "";
}

vorn_stringlist vorn_script_helper::controlIdList(const vorn_string& panel, const vorn_string& filter) {
    host_reply reply(hostLink, send(filled_text(kControlIdListFormat, {panel, filter}).text()));
    if (reply.empty()) return vorn_stringlist();
    return vorn_stringlist(vorn_string(reply.text()), kControlIdSeparator);
}
