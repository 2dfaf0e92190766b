// Creation and end of a script object, and the handlers the base provides.
#include "command_texts.h"
#include "host_call_guard.h"
#include "vorn_script_helper.h"

// The script base's signature, twice, in initialised data: tools that inspect a module read
// it from the file. It lives with the constructor so that every module that creates a script
// carries it.
namespace {

#define VORN_SCRIPT_HELPER_SIGNATURE \
    "VORN_SIG,name=vorn_script_helper,type=LIB,version=4.8.6.0,date=16/06/2017,author=Router team"
__attribute__((used)) char gSignature[] = VORN_SCRIPT_HELPER_SIGNATURE;
__attribute__((used)) char gSignatureCopy[] = VORN_SCRIPT_HELPER_SIGNATURE;
#undef VORN_SCRIPT_HELPER_SIGNATURE

}  // namespace

vorn_script_helper::vorn_script_helper(vorn_host_command* host, const char* path)
    : hostLink(host), scriptPath(), alarmHandling(false) {
    scriptPath = path;
}

// The derived script's fields are gone by now; what is left to free cannot fail.
vorn_script_helper::~vorn_script_helper() {
    guardHostCall<bool>(kDeletionEntry, false, [&] {
        hostDetach();
        return true;
    });
}

void vorn_script_helper::hostDetach() {
    if (hostLink) hostLink->hostCommand(kHostDetach, kHostPerform);
}

void vorn_script_helper::wordCallback(int&) {}

void vorn_script_helper::auxRecordCallback(host_record&) {}
