// Reading control properties back from the host and listing a panel's controls.
#include "command_fields.h"
#include "host_reply.h"
#include "vorn_script_helper.h"

#include <cstring>

void vorn_script_helper::textGet(const vorn_string& property, const vorn_string& panel,
                                 const vorn_string& control, vorn_string& value) {
    vorn_string text(kTextGetStart);
    text += panel;
    appendQuotedField(text, control);
    appendQuotedField(text, property);
    text += kFieldEnd;

    host_reply reply(hostLink, send(text));
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
    whole.split(kPropertyAssign[0], name, rest);
    if (std::strcmp(name, property) == 0) {
        value = rest;
        return;
    }
    debugTrace(kTextGetMismatchTrace, name, property, whole, control, panel, "", "", "", "");
    value = "";
}

vorn_stringlist vorn_script_helper::controlIdList(const vorn_string& panel, const vorn_string& filter) {
    const vorn_string text = vorn_string(kControlIdListFormat).arg(panel).arg(filter);
    host_reply reply(hostLink, send(text));
    if (reply.empty()) return vorn_stringlist();
    return vorn_stringlist(vorn_string(reply.text()), kControlIdSeparator);
}
