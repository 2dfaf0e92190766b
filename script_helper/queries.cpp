// Reading control properties back from the host and listing a panel's controls.
#include "command_texts.h"
#include "filled_text.h"
#include "host_reply.h"
#include "vorn_script_helper.h"

#include <cstring>

namespace {

// The queries' formats, compiled with the module.
constexpr compiled_format kTextGet = compiledFormat(kTextGetFormat);
constexpr compiled_format kControlIdList = compiledFormat(kControlIdListFormat);

}  // namespace

void vorn_script_helper::textGet(text_view property, text_view panel, text_view control, vorn_string& value) {
    host_reply reply(hostLink, send(filled_text(kTextGet, {panel, control, property})));
    if (reply.empty()) {
        value = "";
        return;
    }
    const vorn_string whole(reply.text());
    reply.handBack();

    if (std::strcmp(property.data(), kAllProperties) == 0) {
        value = whole;
        return;
    }
    vorn_string name, rest;
    whole.split(kPropertyAssign, name, rest);
    if (std::strcmp(name, property.data()) == 0) {
        value = rest;
        return;
    }
    debugTrace(kTextGetMismatchTrace, name, property.data(), whole, control.data(), panel.data(), "", "", "", "");
    value = "";
}

vorn_stringlist vorn_script_helper::controlIdList(text_view panel, text_view filter) {
    host_reply reply(hostLink, send(filled_text(kControlIdList, {panel, filter})));
    if (reply.empty()) return vorn_stringlist();
    return vorn_stringlist(vorn_string(reply.text()), kControlIdSeparator);
}
